// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/Waker.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace qel {

Waker::Waker() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

Waker::~Waker() {
    if (fd_ >= 0) ::close(fd_);
}

void Waker::wake() {
    const uint64_t one = 1;
    if (fd_ >= 0) [[maybe_unused]] auto n = ::write(fd_, &one, sizeof one);
}

void Waker::drain() {
    uint64_t count = 0;
    if (fd_ >= 0) [[maybe_unused]] auto n = ::read(fd_, &count, sizeof count);
}

}  // namespace qel
