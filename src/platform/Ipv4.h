// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qel {

// IPv4 addresses are kept as 32-bit values in network byte order, first octet in the lowest
// byte of memory, as they arrive in a sockaddr_in.
using Ipv4 = uint32_t;

std::optional<Ipv4> parseIpv4(const std::string& text);
std::string formatIpv4(Ipv4 address);
Ipv4 ipv4FromOctets(uint8_t a, uint8_t b, uint8_t c, uint8_t d);
uint8_t ipv4Octet(Ipv4 address, int index);  // index 0 is the first octet

}  // namespace qel
