// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace qel::test {

// Test processes run in parallel, so every test takes its own loopback addresses:
// 127.<a>.<b>.<host>, where a and b number (pid, call) pairs. Processes that run at the same
// time have nearby pids, so up to 8 subnets per process stay distinct among any 8000
// consecutive pids; ports then never clash between tests.
inline std::string loopbackSubnet() {
    static std::atomic<int> counter{0};
    const long key = (static_cast<long>(::getpid()) * 8 + counter.fetch_add(1) % 8) % (254 * 254);
    const long a = 1 + key / 254;
    const long b = 1 + key % 254;
    return "127." + std::to_string(a) + "." + std::to_string(b);
}

inline std::string loopbackHost(const std::string& subnet, int host) {
    return subnet + "." + std::to_string(host);
}

}  // namespace qel::test
