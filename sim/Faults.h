// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <set>

namespace qel::sim {

// Misbehaviour a simulated unit can be told to show. Random choices come from a generator
// seeded with `seed`, so a run with the same requests makes the same choices.
struct Faults {
    double dropRequests = 0.0;  // probability that a request is ignored
    double dropReplies = 0.0;   // probability that a computed reply is not sent
    uint32_t seed = 1;
    int replyDelayMs = 0;           // fixed delay before each reply
    int replyJitterMs = 0;          // plus a uniform 0..jitter ms
    bool duplicateReplies = false;  // every reply is sent twice
    int duplicateLagMs = 0;         // the second copy goes this much after the first
    // Every other reply is held back and sent just ahead of the reply to the following
    // request, so it arrives as a late reply to the previous command.
    bool lateReplies = false;
    bool wrongTag = false;   // replies carry another instance tag
    bool wrongEcho = false;  // replies carry another command code (byte 9)
    // Busy state reads (code 0x02) answer 1. First: a read not directly preceded by a 0x04
    // request; Last: a read directly preceded by 0x04 (the probe order is 02 03 04 02).
    enum class Busy { None, First, Last, Always };
    Busy busy = Busy::None;
    std::set<uint8_t> silentCodes;  // requests with these command codes get no reply
    // Channel writes with these command codes are answered as usual but change nothing.
    std::set<uint8_t> ignoredWrites;
    bool bytewiseSerial = false;    // serial replies go out one byte per write, ~1 ms apart
    bool moduleNoLogin = false;     // the network module answers the hello but never a login
};

}  // namespace qel::sim
