// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "DatagramFlood.h"

#include <chrono>
#include <memory>
#include <random>
#include <vector>

#include "link/Packet.h"
#include "platform/UdpSocket.h"

namespace qel::sim {

namespace {
using Clock = std::chrono::steady_clock;

// A frame that passes for a reply: odd operation nibble, its own length in byte 4.
size_t replyLike(std::mt19937& gen, uint16_t tag, uint8_t* out) {
    uint8_t payload[frame::kMaxPayload];
    const size_t length = 2 + gen() % (frame::kMaxPayload - 1);
    for (size_t i = 0; i < length; ++i) payload[i] = static_cast<uint8_t>(gen());
    return buildFrame(out, frame::kMaxSize, static_cast<uint8_t>(gen() % 4),
                      static_cast<uint8_t>((gen() % 8) | 1), static_cast<uint8_t>(gen() % 9),
                      static_cast<uint8_t>(gen() % 0x15), payload, length, tag);
}
}  // namespace

bool DatagramFlood::start(const FloodSettings& settings) {
    stop();
    if (ipv4Octet(settings.target, 0) != 127) {
        std::lock_guard lock(errorMutex_);
        lastError_ = "the flood goes to loopback addresses only";
        return false;
    }
    stopping_ = false;
    sent_ = 0;
    replies_ = 0;
    thread_ = std::thread([this, settings] { run(settings); });
    return true;
}

void DatagramFlood::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

std::string DatagramFlood::lastError() const {
    std::lock_guard lock(errorMutex_);
    return lastError_;
}

void DatagramFlood::run(FloodSettings s) {
    std::vector<std::unique_ptr<UdpSocket>> sockets;
    for (int i = 0; i < s.sources; ++i) {
        const auto address = parseIpv4(s.sourcePrefix + "." + std::to_string(s.firstHost + i));
        auto socket = std::make_unique<UdpSocket>();
        if (address && socket->open(*address, 0)) sockets.push_back(std::move(socket));
    }
    if (sockets.empty()) {
        std::lock_guard lock(errorMutex_);
        lastError_ = "no source address could be bound under " + s.sourcePrefix;
        return;
    }
    std::mt19937 gen(s.seed);
    std::vector<uint8_t> data(std::max<size_t>(s.maxSize, frame::kMaxSize));
    const auto start = Clock::now();
    uint64_t count = 0;
    while (!stopping_.load(std::memory_order_relaxed)) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const auto due = static_cast<uint64_t>(elapsed * s.perSecond);
        for (; count < due && !stopping_.load(std::memory_order_relaxed); ++count) {
            UdpSocket& from = *sockets[gen() % sockets.size()];
            size_t size = 0;
            if (std::uniform_real_distribution<double>(0, 1)(gen) < s.replyShare) {
                size = replyLike(gen, s.tag, data.data());
                replies_.fetch_add(1, std::memory_order_relaxed);
            } else {
                size = gen() % (s.maxSize + 1);
                for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(gen());
            }
            from.sendTo(s.target, s.targetPort, data.data(), size);
            sent_.fetch_add(1, std::memory_order_relaxed);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace qel::sim
