// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

namespace qel {

// An eventfd that a thread can add to poll() so that another thread can wake it.
// wake() and drain() may run on any thread.
class Waker {
public:
    Waker();
    ~Waker();
    Waker(const Waker&) = delete;
    Waker& operator=(const Waker&) = delete;

    int fd() const { return fd_; }
    void wake();
    void drain();

private:
    int fd_ = -1;
};

}  // namespace qel
