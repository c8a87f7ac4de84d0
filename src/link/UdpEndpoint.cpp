// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "link/UdpEndpoint.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace qel {

UdpEndpoint::~UdpEndpoint() { close(); }

bool UdpEndpoint::open(uint16_t port, Ipv4 bindAddress) {
    close();
    if (!socket_.open(bindAddress, port)) {
        std::lock_guard lock(mutex_);
        lastError_ = socket_.lastError();
        return false;
    }
    localPort_.store(socket_.localPort(), std::memory_order_relaxed);
    stopping_.store(false, std::memory_order_relaxed);
    stopWaker_.drain();
    open_.store(true, std::memory_order_release);
    reader_ = std::thread([this] { readerLoop(); });
    return true;
}

void UdpEndpoint::close() {
    if (reader_.joinable()) {
        stopping_.store(true, std::memory_order_relaxed);
        stopWaker_.wake();
        reader_.join();
    }
    open_.store(false, std::memory_order_release);
    socket_.close();
    wakeAll();
}

std::string UdpEndpoint::lastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

bool UdpEndpoint::sendTo(Ipv4 address, uint16_t port, const uint8_t* data, size_t length) {
    if (!isOpen()) return false;
    // The descriptor stays valid while open_ is set: close() joins the reader before closing.
    return socket_.sendTo(address, port, data, length) == static_cast<long>(length);
}

void UdpEndpoint::readerLoop() {
    uint8_t buffer[kCellBytes];
    while (!stopping_.load(std::memory_order_relaxed)) {
        pollfd p[2] = {{socket_.fd(), POLLIN, 0}, {stopWaker_.fd(), POLLIN, 0}};
        if (::poll(p, 2, -1) <= 0) continue;
        if (p[1].revents & POLLIN) break;
        Ipv4 source = 0;
        for (long n; (n = socket_.receiveFrom(buffer, sizeof buffer, &source)) >= 0;) {
            if (n == 0 || source == 0) continue;  // an empty datagram carries nothing
            std::lock_guard lock(mutex_);
            parkLocked(source, buffer, static_cast<size_t>(n));
        }
    }
}

void UdpEndpoint::parkLocked(Ipv4 source, const uint8_t* data, size_t length) {
    Cell& cell = ring_[writeIndex_];
    cell.source = source;
    cell.length = static_cast<uint8_t>(std::min(length, kCellBytes));
    std::memcpy(cell.bytes, data, cell.length);
    writeIndex_ = (writeIndex_ + 1) % kRingCells;
    parked_.fetch_add(1, std::memory_order_relaxed);
    // Only the link of that unit wakes.
    for (Waiter* w : waiters_)
        if (w->source == source) w->arrived.notify_one();
}

void UdpEndpoint::park(Ipv4 source, const uint8_t* data, size_t length) {
    if (length == 0 || source == 0) return;
    std::lock_guard lock(mutex_);
    parkLocked(source, data, length);
}

bool UdpEndpoint::hasCellLocked(Ipv4 source) const {
    return std::any_of(ring_.begin(), ring_.end(),
                       [source](const Cell& c) { return c.source == source; });
}

size_t UdpEndpoint::receiveFor(Ipv4 source, uint8_t* buffer, size_t capacity) {
    if (source == 0) return 0;
    std::lock_guard lock(mutex_);
    // Oldest first: the cell at the write index is the next to be overwritten.
    for (size_t k = 0; k < kRingCells; ++k) {
        Cell& cell = ring_[(writeIndex_ + k) % kRingCells];
        if (cell.source != source) continue;
        cell.source = 0;
        const size_t n = std::min<size_t>(cell.length, capacity);
        std::memcpy(buffer, cell.bytes, n);
        return n;
    }
    return 0;
}

bool UdpEndpoint::waitFor(Ipv4 source, int timeoutMs, const std::function<bool()>& stopped) {
    std::unique_lock lock(mutex_);
    const uint64_t generation = wakeGeneration_;
    Waiter self;
    self.source = source;
    waiters_.push_back(&self);
    self.arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return wakeGeneration_ != generation || hasCellLocked(source) || (stopped && stopped());
    });
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &self));
    return hasCellLocked(source);
}

void UdpEndpoint::wakeAll() {
    std::lock_guard lock(mutex_);
    ++wakeGeneration_;
    for (Waiter* w : waiters_) w->arrived.notify_all();
}

}  // namespace qel
