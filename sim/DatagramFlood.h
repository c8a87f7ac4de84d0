// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/Ipv4.h"

namespace qel::sim {

// A seeded flood of datagrams at one UDP endpoint, for soak tests: random sizes, from many
// source addresses on loopback, some shaped as replies that carry a valid instance tag.
// Sends only to the target given, which must be a loopback address.
struct FloodSettings {
    std::string sourcePrefix;  // "127.a.b": sources are 127.a.b.firstHost and up
    int firstHost = 100;
    int sources = 32;
    Ipv4 target = 0;
    uint16_t targetPort = 0;
    int perSecond = 10000;
    size_t maxSize = 2000;     // sizes 0..maxSize
    double replyShare = 0.25;  // share of datagrams shaped as replies
    uint16_t tag = 0;          // the instance tag those replies carry
    uint32_t seed = 1;
};

class DatagramFlood {
public:
    DatagramFlood() = default;
    ~DatagramFlood() { stop(); }
    DatagramFlood(const DatagramFlood&) = delete;
    DatagramFlood& operator=(const DatagramFlood&) = delete;

    // False (see lastError()) when the target is not on loopback or no source can be bound.
    bool start(const FloodSettings& settings);
    void stop();
    uint64_t sent() const { return sent_.load(std::memory_order_relaxed); }
    uint64_t replies() const { return replies_.load(std::memory_order_relaxed); }
    std::string lastError() const;

private:
    void run(FloodSettings settings);

    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<uint64_t> sent_{0};
    std::atomic<uint64_t> replies_{0};
    mutable std::mutex errorMutex_;  // guards lastError_
    std::string lastError_;
};

}  // namespace qel::sim
