// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/InputSelect.h"

#include <array>

#include "device/Models.h"

namespace qel {

namespace {

constexpr std::array<uint8_t, 16> kSetOfCode = {0x0, 0x1, 0x2, 0x4, 0x8, 0x3, 0x5, 0x9,
                                                0x6, 0xA, 0xC, 0x7, 0xB, 0xD, 0xE, 0xF};
constexpr uint8_t kQD206PairCode = 3, kQD206PairSet = 0x3;

}  // namespace

uint8_t inputSetFromUnitCode(uint32_t modelCode, uint8_t unitByte) {
    const uint8_t code = unitByte & 0x0F;
    if (modelCode == model::kQD206 && code == kQD206PairCode) return kQD206PairSet;
    return kSetOfCode[code];
}

uint8_t unitCodeFromInputSet(uint32_t modelCode, uint8_t inputSet) {
    const uint8_t set = inputSet & 0x0F;
    if (modelCode == model::kQD206 && set == kQD206PairSet) return kQD206PairCode;
    for (size_t code = 0; code < kSetOfCode.size(); ++code)
        if (kSetOfCode[code] == set) return static_cast<uint8_t>(code);
    return 0;  // not reached: every 4-bit set is in the table
}

}  // namespace qel
