// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/UdpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace qel {

UdpSocket::~UdpSocket() { close(); }

UdpSocket::UdpSocket(UdpSocket&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), lastError_(std::move(other.lastError_)) {}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        setError(std::move(other.lastError_));
    }
    return *this;
}

bool UdpSocket::open(Ipv4 bindAddress, uint16_t port, bool reuse) {
    close();
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        setError(std::string("socket: ") + std::strerror(errno));
        return false;
    }
    if (reuse) {
        const int one = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = bindAddress;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        setError("bind " + formatIpv4(bindAddress) + ":" + std::to_string(port) + ": " +
                     std::strerror(errno));
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

bool UdpSocket::allowBroadcast() {
    const int one = 1;
    if (::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) == 0) return true;
    setError(std::string("SO_BROADCAST: ") + std::strerror(errno));
    return false;
}

void UdpSocket::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

uint16_t UdpSocket::localPort() const {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    if (fd_ < 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return ntohs(a.sin_port);
}

long UdpSocket::sendTo(Ipv4 address, uint16_t port, const uint8_t* data, size_t length) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = address;
    const ssize_t n =
        ::sendto(fd_, data, length, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&a), sizeof a);
    if (n < 0) setError(std::string("sendto: ") + std::strerror(errno));
    return static_cast<long>(n);
}

long UdpSocket::receiveFrom(uint8_t* buffer, size_t capacity, Ipv4* source,
                            uint16_t* sourcePort) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    const ssize_t n = ::recvfrom(fd_, buffer, capacity, 0, reinterpret_cast<sockaddr*>(&a), &len);
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            setError(std::string("recvfrom: ") + std::strerror(errno));
        return -1;
    }
    if (source) *source = a.sin_addr.s_addr;
    if (sourcePort) *sourcePort = ntohs(a.sin_port);
    return static_cast<long>(n);
}

bool UdpSocket::waitReadable(int timeoutMs) const {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN);
}

std::string UdpSocket::lastError() const {
    std::lock_guard lock(errorMutex_);
    return lastError_;
}

void UdpSocket::setError(std::string text) {
    std::lock_guard lock(errorMutex_);
    lastError_ = std::move(text);
}

}  // namespace qel
