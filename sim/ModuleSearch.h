// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>

#include "Request.h"
#include "platform/Ipv4.h"

namespace qel::sim {

// The network module's side of the search: the 12-byte request and the reply that carries
// the module's MAC address, the unit's address and its gateway.
class ModuleSearch {
public:
    static constexpr size_t kRequestSize = 12;
    static constexpr size_t kReplySize = 34;
    static constexpr size_t kMacOffset = 12, kAddressOffset = 18, kMaskOffset = 22,
                            kGatewayOffset = 26;

    static bool isRequest(const uint8_t* data, size_t length);
    // A stable, locally administered MAC made from the unit's address.
    static void macFor(Ipv4 unitAddress, uint8_t mac[6]);
    // Gateway a.b.c.1 of the unit's /24.
    static Ipv4 gatewayFor(Ipv4 unitAddress);
    // The reply of a module at the address with its gateway and MAC; without them, a new
    // module's (gateway a.b.c.1, the MAC made from the address).
    static Bytes reply(Ipv4 unitAddress, Ipv4 gateway, const uint8_t mac[6]);
    static Bytes reply(Ipv4 unitAddress);
    // a.b.c.255 of the unit's /24.
    static Ipv4 broadcastFor(Ipv4 unitAddress);
};

}  // namespace qel::sim
