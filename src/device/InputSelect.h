// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>

namespace qel {

// The unit numbers the 16 possible input sets in order of size; the image keeps the bit set
// (bit 0 = input 1 ... bit 3 = input 4). On the QD206 unit code 3 means inputs 1 and 2.

// Bit set for the unit's input select byte (only its low 4 bits count).
uint8_t inputSetFromUnitCode(uint32_t modelCode, uint8_t unitByte);
// Unit code for a bit set (only its low 4 bits count): the first match in the table, except
// that the QD206 sends inputs 1 and 2 as code 3.
uint8_t unitCodeFromInputSet(uint32_t modelCode, uint8_t inputSet);

}  // namespace qel
