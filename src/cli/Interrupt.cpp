// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/Interrupt.h"

#include <csignal>

namespace qel::cli {

namespace {
std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void onInterrupt(int) {
    gInterrupted.store(true, std::memory_order_release);
}
}  // namespace

const std::atomic<bool>* catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;  // the next one takes the default way
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    return &gInterrupted;
}

const std::atomic<bool>* catchTermination() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
    return &gInterrupted;
}

}  // namespace qel::cli
