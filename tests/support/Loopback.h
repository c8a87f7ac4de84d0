#pragma once

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace qel::test {

// Test processes run in parallel, so every test takes its own loopback addresses:
// 127.<pid-derived>.<counter>.<host>. Ports then never clash between tests.
inline std::string loopbackSubnet() {
    static std::atomic<int> counter{0};
    const int a = 1 + static_cast<int>(::getpid() % 250);
    const int b = 1 + (counter.fetch_add(1) % 250);
    return "127." + std::to_string(a) + "." + std::to_string(b);
}

inline std::string loopbackHost(const std::string& subnet, int host) {
    return subnet + "." + std::to_string(host);
}

}  // namespace qel::test
