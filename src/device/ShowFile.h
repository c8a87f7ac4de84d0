// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/Groups.h"
#include "device/ModeRecord.h"
#include "device/PresetJson.h"

namespace qel {

// A show: every unit of a system with its whole settings, as one JSON document (written down
// in docs/show-format.md).

inline constexpr std::string_view kShowFormat = "quellmar-show";
constexpr int kShowVersion = 2;  // 2 adds the groups; 1 is still read

enum class ShowTransport : uint8_t {
    Network,
    Serial,
    Virtual
};  // "network" | "serial" | "virtual"

// One unit of a show: who it is and its whole settings (the preset document of
// docs/preset-format.md, nested under "settings").
struct ShowUnit {
    uint32_t modelCode = 0;
    std::string name;  // the unit's device name (GBK-storable, as the unit holds it)
    ShowTransport transport = ShowTransport::Network;
    std::string address;  // "192.168.1.20", "/dev/ttyUSB0", or the virtual unit's loopback address
    ModeRecord record;
};

// A problem of a show document: the unit it belongs to (-1: the document as a whole) and the
// preset-style issue whose path runs from the document's root
// ("units[2].settings.outputs[1].gainDb", "units[3].name"). The front ends word it with the words
// they already have for preset problems and add the unit's name.
struct ShowIssue {
    int unit = -1;
    std::string unitName;  // as the file names the unit, when it could be read
    PresetIssue issue;
    int group = -1;  // a problem of groups[group] (its name when it could be read)
    std::string groupName{};
};

struct ShowRead {
    std::vector<ShowUnit> units;
    std::vector<Group> groups;      // none in a version 1 file
    bool hasGroups = false;         // the file has a groups list (it may be empty)
    std::vector<ShowIssue> errors;  // nothing of the file is to be used when there are any
    std::vector<ShowIssue> moved;   // values that moved by more than half a step
    bool ok() const { return errors.empty(); }
};

// Written as version 2, with the groups.
QByteArray showJson(const std::vector<ShowUnit>& units, const std::vector<Group>& groups = {});
ShowRead readShowJson(const QByteArray& json);

// A unit present now (the equipment list's or a search's), for matching.
struct ShowCandidate {
    uint32_t modelCode = 0;
    std::string name;
    std::string address;
};
// For each file unit, the index of its match among the candidates, or -1: same name and model;
// among several, the one with the same address; each candidate matched at most once.
std::vector<int> matchShowUnits(const std::vector<ShowUnit>& file,
                                const std::vector<ShowCandidate>& present);

}  // namespace qel
