// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/Protocol.h"
#include "platform/Ipv4.h"
#include "platform/UdpSocket.h"
#include "platform/Waker.h"

namespace qel {

// The application's one UDP endpoint: a socket bound to all local addresses (port::kLocal
// by default) whose datagrams are parked in a 256-cell ring and picked out by source address.
// A reader thread moves datagrams from the socket into the ring as they arrive; each unit's
// receive thread and the discovery exchange take the oldest cell of their own address.
// Every public call is safe from any thread.
class UdpEndpoint {
public:
    static constexpr uint16_t kDefaultPort = port::kLocal;
    static constexpr size_t kRingCells = 256;
    static constexpr size_t kCellBytes = 128;

    UdpEndpoint() = default;
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    // Binds the socket (port 0 takes any free port) and starts the reader thread.
    bool open(uint16_t port = kDefaultPort, Ipv4 bindAddress = 0);
    void close();
    bool isOpen() const { return open_.load(std::memory_order_acquire); }
    uint16_t localPort() const { return localPort_.load(std::memory_order_relaxed); }
    std::string lastError() const;

    bool sendTo(Ipv4 address, uint16_t port, const uint8_t* data, size_t length);

    // Takes the oldest parked datagram from this source; returns its length (at most
    // capacity bytes are copied), or 0 when none waits.
    size_t receiveFor(Ipv4 source, uint8_t* buffer, size_t capacity);
    // Waits until a datagram from this source waits in the ring, the time-out passes or
    // wakeAll() is called, or was called since `stopped` (looked at under the lock) says so.
    // True when one waits.
    bool waitFor(Ipv4 source, int timeoutMs, const std::function<bool()>& stopped = {});
    // Ends every waitFor() early (used when a link stops).
    void wakeAll();

    // Parks a datagram as if it had arrived from source (for tests and fuzzing); an empty
    // one or one without a source is ignored, as the reader ignores them.
    void park(Ipv4 source, const uint8_t* data, size_t length);

    // Datagrams parked since open (for tests and diagnostics).
    uint64_t parkedCount() const { return parked_.load(std::memory_order_relaxed); }

private:
    struct Cell {
        Ipv4 source = 0;  // 0: empty or consumed
        uint8_t length = 0;
        uint8_t bytes[kCellBytes] = {};
    };

    // A waitFor() under way: datagrams from other sources do not wake it.
    struct Waiter {
        Ipv4 source = 0;
        std::condition_variable arrived;
    };

    void readerLoop();
    void parkLocked(Ipv4 source, const uint8_t* data, size_t length);
    bool hasCellLocked(Ipv4 source) const;

    UdpSocket socket_;  // the reader thread receives, any thread sends (sendto is thread-safe)
    Waker stopWaker_;
    std::thread reader_;
    std::atomic<bool> open_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<uint16_t> localPort_{0};
    std::atomic<uint64_t> parked_{0};

    mutable std::mutex mutex_;  // guards ring_, writeIndex_, waiters_, wakeGeneration_, lastError_
    std::vector<Waiter*> waiters_;
    std::array<Cell, kRingCells> ring_{};
    size_t writeIndex_ = 0;
    uint64_t wakeGeneration_ = 0;
    std::string lastError_;
};

}  // namespace qel
