// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "platform/NetworkAdapters.h"

namespace qel {

// Linux: interfaces from if_nameindex, getifaddrs and /sys/class/net, gateways from
// /proc/net/route. An address is added through NetworkManager's runtime-only change
// (nmcli device modify) where it manages the adapter, else with `ip address` when this process
// has the rights (root or CAP_NET_ADMIN); neighbour entries with `ip neigh`, rights allowing.
class SystemNetworkAdapters : public NetworkAdapters {
public:
    std::vector<NetworkAdapter> adapters() override;
    AddressChange addAddress(const std::string& adapter, const std::string& cidr) override;
    AddressChange removeAddress(const std::string& adapter, const std::string& cidr,
                                AddressMethod method) override;
    NeighbourEntry setNeighbour(const std::string& ip, const std::string& mac) override;
    void removeNeighbour(const std::string& ip, const std::string& device) override;

    // Root, or CAP_NET_ADMIN in the effective set.
    static bool mayChangeNetwork();
    // NetworkManager runs and has not left the device unmanaged.
    static bool managedByNetworkManager(const std::string& adapter);
    // The Iface->gateway pairs of the default routes in /proc/net/route's text.
    static std::vector<std::pair<std::string, std::string>> defaultGateways(const std::string& routes);
    // The "dev" of `ip -o route get` output.
    static std::string routeDevice(const std::string& output);
};

}  // namespace qel
