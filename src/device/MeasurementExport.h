// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/ModeRecord.h"
#include "device/ParamCommands.h"

namespace qel {

// How the EQ text is laid out: the generic export of measurement programs (a "Filter
// Settings file" header) or an equaliser's configuration (the title as a comment). Both hold
// the same "Filter N: ON PK Fc 100 Hz Gain -3.0 dB Q 1.4" lines, which the reader takes back.
enum class EqTextFormat : uint8_t { Generic, Apo };

// A crossover filter the text cannot hold: only a Butterworth 12 dB is an HP or LP line.
struct LeftOutCrossover {
    bool highPass = true;
    uint8_t type = 0;
};

struct EqExport {
    std::string text;
    int filters = 0;        // lines of filters written
    bool eqPassed = false;  // the channel's EQ is switched to "EQ pass": the file has it on
    std::vector<LeftOutCrossover> leftOut;
};

// Every EQ point of the channel in order (0 dB ones too, so that the points come back where
// they were) and an output's high-pass and low-pass when they are on and Butterworth 12 dB.
// title: a line naming the source ("QD408 Main Stage, output 3").
EqExport exportMeasurementEq(const ModeRecord& record, cmd::ChannelId channel, EqTextFormat format,
                             std::string_view title);

// "QD408 Main Stage, output 3": the model, the unit's or record's name (when it has one) and
// the channel.
std::string measurementTitle(uint32_t modelCode, std::string_view name, cmd::ChannelId channel);

}  // namespace qel
