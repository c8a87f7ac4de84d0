// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <vector>

namespace qel::sim {

// One request frame as a unit received it.
struct RequestRecord {
    uint32_t tickMs = 0;         // qel::tickMs() at arrival
    std::vector<uint8_t> frame;  // the whole frame
    bool checksumOk = false;     // a bad checksum makes the unit discard the frame
    bool dropped = false;        // ignored by the drop-requests fault
    bool replyDropped = false;   // answered, but the drop-replies fault lost the reply
    int64_t arrivalNs = 0;       // std::chrono::steady_clock at arrival, finer than tickMs
};

}  // namespace qel::sim
