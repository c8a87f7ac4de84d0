// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ModuleSearch.h"

#include <cstring>

namespace qel::sim {

namespace {
constexpr uint8_t kRequest[ModuleSearch::kRequestSize] = {0x01, 0x00, 0x00, 0xC0, 0x00, 0x00,
                                                          0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF};

void putAddress(Bytes& out, size_t offset, Ipv4 address) {
    for (int i = 0; i < 4; ++i) out[offset + static_cast<size_t>(i)] = ipv4Octet(address, i);
}
}  // namespace

bool ModuleSearch::isRequest(const uint8_t* data, size_t length) {
    return length == kRequestSize && std::memcmp(data, kRequest, kRequestSize) == 0;
}

void ModuleSearch::macFor(Ipv4 unitAddress, uint8_t mac[6]) {
    mac[0] = 0x02;
    mac[1] = 0x51;
    for (int i = 0; i < 4; ++i) mac[2 + i] = ipv4Octet(unitAddress, i);
}

Ipv4 ModuleSearch::gatewayFor(Ipv4 unitAddress) {
    return ipv4FromOctets(ipv4Octet(unitAddress, 0), ipv4Octet(unitAddress, 1),
                          ipv4Octet(unitAddress, 2), 1);
}

Ipv4 ModuleSearch::broadcastFor(Ipv4 unitAddress) {
    return ipv4FromOctets(ipv4Octet(unitAddress, 0), ipv4Octet(unitAddress, 1),
                          ipv4Octet(unitAddress, 2), 255);
}

// Bytes 0..11 mirror the request with an answer marker; 22..25 hold the /24 mask.
Bytes ModuleSearch::reply(Ipv4 unitAddress) {
    uint8_t mac[6];
    macFor(unitAddress, mac);
    return reply(unitAddress, gatewayFor(unitAddress), mac);
}

Bytes ModuleSearch::reply(Ipv4 unitAddress, Ipv4 gateway, const uint8_t mac[6]) {
    Bytes out(kReplySize, 0);
    std::memcpy(out.data(), kRequest, kRequestSize);
    out[3] = static_cast<uint8_t>(kReplySize);
    out[9] = 0x02;
    std::memcpy(out.data() + kMacOffset, mac, 6);
    putAddress(out, kAddressOffset, unitAddress);
    putAddress(out, kMaskOffset, ipv4FromOctets(255, 255, 255, 0));
    putAddress(out, kGatewayOffset, gateway);
    return out;
}

}  // namespace qel::sim
