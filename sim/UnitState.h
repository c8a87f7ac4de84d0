// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qel::sim {

constexpr int kInputs = 4;   // channel records always have room for 4 inputs
constexpr int kOutputs = 8;  // and 8 outputs, whatever the model
constexpr int kInputEqPoints = 15;
constexpr int kOutputEqPoints = 10;
constexpr int kPointBytes = 5;  // wire order: type, frequency code, gain code, Q code, extra
constexpr int kModes = 20;
constexpr size_t kNameBytes = 20;
constexpr size_t kPasswordDigits = 6;

struct ChannelIn {
    uint8_t gain = 0;
    uint8_t mute = 0;
    uint8_t eqSwitch = 0;
    uint8_t eq[kInputEqPoints][kPointBytes] = {};

    bool operator==(const ChannelIn&) const = default;
};

struct ChannelOut {
    uint8_t inputSelectCode = 0;  // the unit's numbering of input sets, 0..15
    uint8_t gain = 0;
    uint8_t mute = 0;
    uint8_t polarity = 0;
    uint16_t delay = 0;  // samples at 48 kHz
    uint8_t limLevel = 0;
    uint8_t limAttack = 0;
    uint8_t limRelease = 0;
    uint8_t hpfType = 0;
    uint8_t hpfFreq = 0;
    uint8_t lpfType = 0;
    uint8_t lpfFreq = 0;
    uint8_t eqSwitch = 0;
    uint8_t eq[kOutputEqPoints][kPointBytes] = {};

    bool operator==(const ChannelOut&) const = default;
};

struct Params {
    ChannelIn in[kInputs];
    ChannelOut out[kOutputs];

    bool operator==(const Params&) const = default;
};

struct StoredMode {
    uint8_t nameWire[kNameBytes] = {};  // as it travels: each character lowered by 0x20
    Params params;
    bool used = false;

    bool operator==(const StoredMode&) const = default;
};

struct UnitState {
    int model = 4;
    uint8_t nameWire[kNameBytes] = {};
    uint8_t password[kPasswordDigits] = {};  // digit values 0..9
    bool engineering = false;                // false: user mode, stores are refused
    uint8_t currentMode = 0;
    Params params;
    StoredMode modes[kModes];
    uint8_t pendingStoreName[kNameBytes] = {};  // set by a name write, used by the next store

    bool operator==(const UnitState&) const = default;
};

// Channel counts of a model code; codes outside the family get the full 4 / 8.
int inputCount(int model);
int outputCount(int model);
// "QD206", "QD406", "QD408", or empty for other codes.
std::string modelName(int model);

// Unit code of an input set given as a bit set (bit 0 = input 1), first match in the
// unit's table; 0 for an empty or unknown set.
uint8_t inputSelectCode(uint8_t bitSet);
// Bit set of a unit code (low 4 bits used).
uint8_t inputSelectBits(uint8_t unitCode);

// Defaults of a freshly started unit: 0 dB gains, flat EQ with points spread over the band,
// both crossover filters off, password 000000, user mode, 20 stored modes "Mode 1".."Mode 20",
// inputs routed in turn to the outputs.
Params defaultParams(int model);
// The EQ reset command: flat points at the reset frequencies the editor shows.
void resetEq(ChannelIn& channel);
void resetEq(ChannelOut& channel);
UnitState defaultUnitState(int model, const std::string& name);

}  // namespace qel::sim
