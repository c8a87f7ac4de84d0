// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/CommandQueue.h"
#include "link/Protocol.h"

namespace qel {

// One command ready for a unit's queue. Unlike Command it owns its payload, so it can be
// built ahead and kept until it has been enqueued.
struct OwnedCommand {
    uint8_t operation = op::kRead;
    uint8_t block = block::kUnit;
    uint8_t channel = 0;
    uint8_t code = 0;
    std::vector<uint8_t> payload{0, 0};
    size_t replyLength = 0;  // reply data bytes wanted
    int tries = 1;
    uint32_t timeoutMs = 100;
    const char* label = nullptr;  // trace label of a transfer step, if it has one

    // The queue's view of this command. The payload pointer stays valid while this object
    // lives unchanged; replyDestination needs room for replyLength bytes.
    Command toCommand(uint8_t* replyDestination = nullptr) const;
};

}  // namespace qel
