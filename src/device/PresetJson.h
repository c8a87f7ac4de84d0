// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/ModeRecord.h"

namespace qel {

// A mode record as a JSON document in the units an engineer thinks in (dB, Hz, ms, Q,
// filter shapes by name); the format is written down in docs/preset-format.md. Writing and
// reading back give the same record for every record a unit can hold.

// One finding while reading a preset: where in the document (JSON path such as
// "outputs[2].eq.points[6].gainDb") and what.
struct PresetIssue {
    std::string path;
    std::string message;
    std::string text() const { return path + ": " + message; }
};

struct PresetRead {
    ModeRecord record;
    uint32_t modelCode = 0;
    std::string deviceName;           // information only, never written to a unit
    std::vector<PresetIssue> errors;  // the record is not to be used when there are any
    std::vector<PresetIssue> moved;   // values that moved by more than half a step
    bool ok() const { return errors.empty(); }
};

constexpr int kPresetVersion = 1;
inline constexpr std::string_view kPresetFormat = "quellmar-preset";

// The document of the record's model channels. deviceName is written as information when
// not empty. The model must be a known one.
QByteArray presetJson(const ModeRecord& record, uint32_t modelCode,
                      std::string_view deviceName = {});

// Reads a document through the parameter model's quantisers. Every problem is reported with
// its path: syntax, wrong types, unknown or missing keys, values outside what the unit holds,
// and a model other than expectedModel (0 accepts any known model). Channels the model does
// not have stay zero.
PresetRead readPresetJson(const QByteArray& json, uint32_t expectedModel = 0);

}  // namespace qel
