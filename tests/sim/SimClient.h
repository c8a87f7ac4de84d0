// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Request.h"
#include "link/Packet.h"
#include "platform/Clock.h"
#include "platform/Ipv4.h"
#include "platform/SerialPort.h"
#include "platform/UdpSocket.h"

namespace qel::sim::test {

constexpr uint16_t kTag = 0x1234;

inline Bytes frameOf(uint8_t block, uint8_t operation, uint8_t channel, uint8_t code,
                     const Bytes& payload = {0, 0}, uint16_t tag = kTag) {
    Bytes f(payload.size() + frame::kHeaderSize);
    buildFrame(f.data(), f.size(), block, operation, channel, code, payload.data(), payload.size(),
               tag);
    return f;
}

inline Bytes payloadOf(const Bytes& reply) {
    return reply.size() < frame::kHeaderSize ? Bytes{}
                                             : Bytes(reply.begin() + frame::kPayload, reply.end());
}

// The program's side of a network unit: a socket on the test's own loopback address.
class UdpClient {
public:
    UdpClient(const std::string& bindIp, const std::string& unitIp, uint16_t unitPort = 9840)
        : unit_(*parseIpv4(unitIp)), port_(unitPort) {
        socket_.open(*parseIpv4(bindIp), 0);
    }

    void send(const Bytes& f) { socket_.sendTo(unit_, port_, f.data(), f.size()); }

    std::optional<Bytes> receive(int timeoutMs = 1000) {
        if (!socket_.waitReadable(timeoutMs)) return std::nullopt;
        uint8_t data[2048];
        const long n = socket_.receiveFrom(data, sizeof data);
        if (n < 0) return std::nullopt;
        return Bytes(data, data + n);
    }

    std::optional<Bytes> exchange(const Bytes& f, int timeoutMs = 1000) {
        send(f);
        return receive(timeoutMs);
    }

    // The reply payload of a request, empty when no reply came.
    Bytes ask(uint8_t block, uint8_t operation, uint8_t channel, uint8_t code,
              const Bytes& payload = {0, 0}) {
        const auto reply = exchange(frameOf(block, operation, channel, code, payload));
        return reply ? payloadOf(*reply) : Bytes{};
    }

    UdpSocket& socket() { return socket_; }

private:
    UdpSocket socket_;
    Ipv4 unit_;
    uint16_t port_;
};

// The program's side of a serial unit, through the real serial port class.
class SerialClient {
public:
    explicit SerialClient(const std::string& path) { port_.open(path); }
    bool isOpen() const { return port_.isOpen(); }

    void write(const Bytes& bytes) { port_.write(bytes.data(), bytes.size()); }

    // True when the port reports its device gone: a hang-up or a read that fails.
    bool hungUp(int timeoutMs = 500) {
        const auto wait = port_.waitReadable(timeoutMs, -1);
        uint8_t byte = 0;
        return wait == SerialPort::Wait::HungUp ||
               (wait == SerialPort::Wait::Readable && port_.read(&byte, 1) < 0);
    }

    // Collects bytes until they make one whole frame (FF FF, then its length byte).
    std::optional<Bytes> readFrame(int timeoutMs = 1000, size_t* reads = nullptr) {
        const uint32_t start = tickMs();
        while (static_cast<int>(tickMs() - start) < timeoutMs) {
            if (complete()) break;
            if (port_.waitReadable(10, -1) != SerialPort::Wait::Readable) continue;
            uint8_t data[256];
            const long n = port_.read(data, sizeof data);
            if (n > 0) {
                pending_.insert(pending_.end(), data, data + n);
                if (reads) ++*reads;
            }
        }
        if (!complete()) return std::nullopt;
        const size_t length = pending_[frame::kLength];
        Bytes f(pending_.begin(), pending_.begin() + static_cast<long>(length));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(length));
        return f;
    }

private:
    bool complete() const {
        return pending_.size() > frame::kLength && pending_[0] == 0xFF && pending_[1] == 0xFF &&
               pending_.size() >= pending_[frame::kLength];
    }

    SerialPort port_;
    Bytes pending_;
};

}  // namespace qel::sim::test
