// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/EqPoint.h"
#include "device/InputChannel.h"
#include "device/ModeRecord.h"
#include "device/OutputChannel.h"

namespace qel {

// A mode record turned into the values its pages show. Any stored byte gives a value: codes
// past a scale's top show its top, list indices past a list select nothing.

struct EqPointValues {
    uint8_t type = 0;  // EqType code as stored
    double freqHz = 0;
    double gainDb = 0;
    double q = 0;
};

struct InputValues {
    double gainDb = 0;
    bool muted = false;
    bool eqPass = false;  // the EQ is bypassed ("EQ pass", switch byte not 0)
    std::array<EqPointValues, InputChannel::kPoints> points{};
};

struct OutputValues {
    double gainDb = 0;
    bool muted = false;
    bool eqPass = false;  // the EQ is bypassed ("EQ pass", switch byte not 0)
    bool inverted = false;
    double delayMs = 0;
    uint8_t inputSet = 0;  // bit 0 = input 1 ... bit 3 = input 4
    double limiterDb = 0;
    std::optional<int> attackMs;   // none when the index is past the list
    std::optional<int> releaseMs;  // likewise
    std::string_view highPassName, lowPassName;
    double highPassHz = 0, lowPassHz = 0;
    bool highPassOff = false, lowPassOff = false;
    std::array<EqPointValues, OutputChannel::kPoints> points{};
};

struct RecordValues {
    bool used = false;
    std::string name;
    std::string date;
    std::vector<InputValues> inputs;    // the model's inputs
    std::vector<OutputValues> outputs;  // the model's outputs
};

EqPointValues eqPointValues(const EqPoint& point);
// Milliseconds of a limiter attack or release list index; none past the list.
std::optional<int> limiterAttackMs(uint8_t index);
std::optional<int> limiterReleaseMs(uint8_t index);
// An unknown model shows the channels of the largest one.
RecordValues recordValues(const ModeRecord& record, uint32_t modelCode);

}  // namespace qel
