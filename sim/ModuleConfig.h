// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "Request.h"
#include "platform/Ipv4.h"

namespace qel::sim {

// What a module heard of its configuration protocol.
struct ModuleLog {
    int hellos = 0, logins = 0, reads = 0, writes = 0;  // writes: the ones it took
    Bytes lastWrite;                                     // the last write message it took
};

// A unit's network module as far as its configuration goes: hello, login with "admin" and
// "plovek", the 1038-byte configuration block, and a write that changes its addresses.
// Written from the module's side. Not thread-safe; the owner locks.
class ModuleConfig {
public:
    static constexpr size_t kBlockSize = 1038;

    explicit ModuleConfig(Ipv4 unitAddress);

    struct Outcome {
        std::optional<Bytes> reply;
        bool written = false;  // a write was taken: the addresses may have changed
    };
    // One datagram from a PC; answerLogin false makes the module ignore logins.
    Outcome receive(const uint8_t* data, size_t size, bool answerLogin);

    Ipv4 ip() const { return ip_; }
    Ipv4 gateway() const { return gateway_; }
    Ipv4 pc1() const { return pc1_; }
    Ipv4 pc2() const { return pc2_; }
    const uint8_t* mac() const { return mac_.data(); }
    const ModuleLog& log() const { return log_; }
    // The block that a read returns now.
    Bytes block() const;

private:
    Bytes loginReply() const;
    bool takeWrite(const uint8_t* data, size_t size);

    Ipv4 ip_, gateway_, pc1_, pc2_;
    std::array<uint8_t, 6> mac_{};
    std::array<uint8_t, 4> session_{};
    bool loggedIn_ = false;
    uint8_t sessions_ = 0;
    ModuleLog log_;
};

}  // namespace qel::sim
