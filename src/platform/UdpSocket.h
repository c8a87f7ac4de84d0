// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/Ipv4.h"

namespace qel {

// A non-blocking IPv4 datagram socket. Not shared between threads without a lock of the owner.
class UdpSocket {
public:
    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket& operator=(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Creates the socket in non-blocking mode and binds it. With reuse, several sockets may
    // share the port (SO_REUSEADDR); without it a port in use makes the bind fail.
    bool open(Ipv4 bindAddress, uint16_t port, bool reuse = false);
    // Lets the open socket send to broadcast addresses (SO_BROADCAST); without it Linux
    // refuses such a send with EACCES. False on failure (see lastError()).
    bool allowBroadcast();
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    uint16_t localPort() const;

    // Returns the bytes sent, or -1 on failure (see lastError()).
    long sendTo(Ipv4 address, uint16_t port, const uint8_t* data, size_t length);
    // Returns the datagram length (truncated to capacity), 0 for an empty datagram,
    // or -1 when nothing is waiting or on failure.
    long receiveFrom(uint8_t* buffer, size_t capacity, Ipv4* source = nullptr,
                     uint16_t* sourcePort = nullptr);
    // Waits until a datagram is readable or the time-out passes. True when readable.
    bool waitReadable(int timeoutMs) const;

    std::string lastError() const;

private:
    int fd_ = -1;
    void setError(std::string text);

    mutable std::mutex errorMutex_;  // guards lastError_: reads and writes run on two threads
    std::string lastError_;
};

}  // namespace qel
