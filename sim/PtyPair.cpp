// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "PtyPair.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

namespace qel::sim {

PtyPair::~PtyPair() {
    close();
}

PtyPair::PtyPair(PtyPair&& other) noexcept
    : master_(std::exchange(other.master_, -1)),
      slave_(std::exchange(other.slave_, -1)),
      path_(std::move(other.path_)),
      lastError_(std::move(other.lastError_)) {}

PtyPair& PtyPair::operator=(PtyPair&& other) noexcept {
    if (this != &other) {
        close();
        master_ = std::exchange(other.master_, -1);
        slave_ = std::exchange(other.slave_, -1);
        path_ = std::move(other.path_);
        lastError_ = std::move(other.lastError_);
    }
    return *this;
}

bool PtyPair::open() {
    close();
    char name[PATH_MAX] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B115200);
    ::cfsetospeed(&raw, B115200);
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
        lastError_ = std::string("openpty: ") + std::strerror(errno);
        master_ = slave_ = -1;
        return false;
    }
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    path_ = name;
    return true;
}

void PtyPair::close() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
}

long PtyPair::read(uint8_t* buffer, size_t capacity) {
    if (master_ < 0) return -1;
    const ssize_t n = ::read(master_, buffer, capacity);
    if (n < 0 && errno != EAGAIN && errno != EINTR)
        lastError_ = path_ + ": " + std::strerror(errno);
    return n > 0 ? static_cast<long>(n) : -1;
}

long PtyPair::write(const uint8_t* data, size_t length) {
    if (master_ < 0) return -1;
    const ssize_t n = ::write(master_, data, length);
    if (n < 0) lastError_ = path_ + ": " + std::strerror(errno);
    return static_cast<long>(n);
}

}  // namespace qel::sim
