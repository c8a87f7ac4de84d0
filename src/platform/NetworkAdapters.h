// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <string>
#include <vector>

namespace qel {

// One network interface of the PC as the address set-up sees it.
struct NetworkAdapter {
    enum class Kind { Wired, Wireless, Virtual, Loopback };
    std::string name;                    // "eth0", "enp3s0"
    Kind kind = Kind::Virtual;           // Wired: Ethernet with hardware behind it
    std::vector<std::string> addresses;  // IPv4 texts, the primary one first
    std::string gateway;                 // the default gateway through it, "" when none
};

// How an address was added, so that it is removed the same way.
enum class AddressMethod { None, NetworkManager, IpTool };

struct AddressChange {
    bool ok = false;
    AddressMethod method = AddressMethod::None;
    std::string message;  // what went wrong, for the trace
};

struct NeighbourEntry {
    bool ok = false;
    std::string device;   // where the entry was made
    std::string message;  // what went wrong, for the trace
};

// The PC's network adapters: reading them, adding an address at run time only, and static
// neighbour (ARP) entries. Tests install a fake; the real one runs the system's tools with
// argument vectors. Calls may block for a few seconds; they may run on any one thread.
class NetworkAdapters {
public:
    virtual ~NetworkAdapters() = default;
    // In the system's order (interface index).
    virtual std::vector<NetworkAdapter> adapters() = 0;
    // cidr: "192.168.6.222/24".
    virtual AddressChange addAddress(const std::string& adapter, const std::string& cidr) = 0;
    virtual AddressChange removeAddress(const std::string& adapter, const std::string& cidr,
                                        AddressMethod method) = 0;
    // mac with colons.
    virtual NeighbourEntry setNeighbour(const std::string& ip, const std::string& mac) = 0;
    virtual void removeNeighbour(const std::string& ip, const std::string& device) = 0;
};

// The layer in use: the system's unless a test installs another (nullptr restores it).
NetworkAdapters& networkAdapters();
void setNetworkAdapters(NetworkAdapters* adapters);

}  // namespace qel
