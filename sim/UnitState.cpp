// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "UnitState.h"

#include <string>

#include "WireText.h"
#include "device/ValueCodes.h"

namespace qel::sim {

namespace {

// Bit set of each unit code: the input sets ordered by size.
constexpr uint8_t kInputSets[16] = {0x0, 0x1, 0x2, 0x4, 0x8, 0x3, 0x5, 0x9,
                                    0x6, 0xA, 0xC, 0x7, 0xB, 0xD, 0xE, 0xF};

constexpr uint8_t kGainZeroDb = 100;    // dB = code * 0.5 - 50
constexpr uint8_t kEqGainZeroDb = 120;  // dB = code * 0.2 - 24
constexpr uint8_t kQOne = 4;            // Q = code * 0.2 + 0.2
constexpr uint8_t kLimiterZeroDb = 20;  // dB = code * 0.5 - 10
constexpr uint8_t kHighPassOff = 0;
constexpr uint8_t kLowPassOff = 255;

// Points spread evenly over the frequency codes 16..240, flat.
template <size_t N>
void spreadFlat(uint8_t (&eq)[N][kPointBytes]) {
    for (size_t i = 0; i < N; ++i) {
        eq[i][0] = 0;
        eq[i][1] = static_cast<uint8_t>(16 + i * 224 / (N - 1));
        eq[i][2] = kEqGainZeroDb;
        eq[i][3] = kQOne;
        eq[i][4] = 0;
    }
}

// What the EQ reset command leaves: flat points at the unit's own reset frequencies, point 1
// first; an input has 15 points, an output 10.
constexpr double kInputResetHz[] = {25.4, 40.5, 62.8, 100,  159,  254,  405,  628,
                                    1000, 1593, 2538, 4044, 6270, 9989, 15916};
constexpr double kOutputResetHz[] = {100, 159, 254, 405, 628, 1000, 1593, 2538, 4044, 6270};

template <size_t N>
void resetFlat(uint8_t (&eq)[N][kPointBytes], const double (&hz)[N]) {
    for (size_t i = 0; i < N; ++i) {
        eq[i][0] = 0;
        eq[i][1] = QuantizeFreq(hz[i]).code;
        eq[i][2] = kEqGainZeroDb;
        eq[i][3] = kQOne;
        eq[i][4] = 0;
    }
}

}  // namespace

int inputCount(int model) {
    return model == 2 ? 2 : kInputs;
}

int outputCount(int model) {
    return (model == 2 || model == 3) ? 6 : kOutputs;
}

std::string modelName(int model) {
    switch (model) {
        case 2:
            return "QD206";
        case 3:
            return "QD406";
        case 4:
            return "QD408";
        default:
            return {};
    }
}

uint8_t inputSelectCode(uint8_t bitSet) {
    for (uint8_t code = 0; code < 16; ++code)
        if (kInputSets[code] == bitSet) return code;
    return 0;
}

uint8_t inputSelectBits(uint8_t unitCode) {
    return kInputSets[unitCode & 0x0F];
}

void resetEq(ChannelIn& channel) {
    resetFlat(channel.eq, kInputResetHz);
}

void resetEq(ChannelOut& channel) {
    resetFlat(channel.eq, kOutputResetHz);
}

Params defaultParams(int model) {
    Params p;
    for (ChannelIn& in : p.in) {
        in.gain = kGainZeroDb;
        in.eqSwitch = 1;
        spreadFlat(in.eq);
    }
    const int inputs = inputCount(model);
    for (int k = 0; k < kOutputs; ++k) {
        ChannelOut& out = p.out[k];
        out.inputSelectCode = inputSelectCode(static_cast<uint8_t>(1u << (k % inputs)));
        out.gain = kGainZeroDb;
        out.limLevel = kLimiterZeroDb;
        out.limAttack = 2;
        out.limRelease = 3;
        out.hpfType = 1;
        out.hpfFreq = kHighPassOff;
        out.lpfType = 1;
        out.lpfFreq = kLowPassOff;
        out.eqSwitch = 1;
        spreadFlat(out.eq);
    }
    return p;
}

UnitState defaultUnitState(int model, const std::string& name) {
    UnitState s;
    s.model = model;
    encodeWireText(name, s.nameWire, kNameBytes);
    s.params = defaultParams(model);
    for (int m = 0; m < kModes; ++m) {
        encodeWireText("Mode " + std::to_string(m + 1), s.modes[m].nameWire, kNameBytes);
        s.modes[m].params = s.params;
        s.modes[m].used = true;
    }
    return s;
}

}  // namespace qel::sim
