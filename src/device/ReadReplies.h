// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/InputChannel.h"
#include "device/ModeRecord.h"
#include "device/OutputChannel.h"

namespace qel {

// Storing the reply data of the full read's reads into a mode record. Each returns false,
// leaving the record unchanged, when the reply is too short or the code has no row read.

// Whole-row read (codes 0x00..0x07): 4 input values then 8 output values, or 8 output values
// alone; delays as 16-bit little-endian words. Input select codes go through the model's table.
bool storeRowReply(ModeRecord& record, uint32_t modelCode, uint8_t code, const uint8_t* data,
                   size_t length);

// EQ block read: five bytes per point (type, frequency, gain, Q, unused), then the EQ switch.
bool storeEqBlockReply(InputChannel& channel, const uint8_t* data, size_t length);
bool storeEqBlockReply(OutputChannel& channel, const uint8_t* data, size_t length);

}  // namespace qel
