// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/Ipv4.h"

#include <arpa/inet.h>

#include <cstdio>

namespace qel {

std::optional<Ipv4> parseIpv4(const std::string& text) {
    in_addr a{};
    if (inet_pton(AF_INET, text.c_str(), &a) != 1) return std::nullopt;
    return a.s_addr;
}

std::string formatIpv4(Ipv4 address) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", ipv4Octet(address, 0), ipv4Octet(address, 1),
                  ipv4Octet(address, 2), ipv4Octet(address, 3));
    return text;
}

Ipv4 ipv4FromOctets(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    const uint8_t bytes[4] = {a, b, c, d};
    Ipv4 v = 0;
    for (int i = 0; i < 4; ++i) reinterpret_cast<uint8_t*>(&v)[i] = bytes[i];
    return v;
}

uint8_t ipv4Octet(Ipv4 address, int index) {
    return reinterpret_cast<const uint8_t*>(&address)[index & 3];
}

}  // namespace qel
