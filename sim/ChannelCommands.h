// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>

#include "Request.h"
#include "UnitState.h"

namespace qel::sim {

// The channel parameter commands: writes, loads and linked writes on one input (block 1) or
// output (block 2), the EQ block and filter reads, and whole-row reads (block 3).
class ChannelCommands {
public:
    explicit ChannelCommands(Params& params) : params_(params) {}

    // Always answers: reads with their data, everything else with an echo of the payload.
    Bytes handle(const Request& r);

private:
    Bytes channelRead(const Request& r) const;
    Bytes rowRead(const Request& r) const;
    void applyLinked(const Request& r);
    // Sets the request's parameter on a 1-based channel of the request's block; the value
    // is at the start of the payload.
    void apply(uint8_t channel, const Request& r);
    void applyInput(int index, const Request& r);
    void applyOutput(int index, const Request& r);

    Params& params_;
};

}  // namespace qel::sim
