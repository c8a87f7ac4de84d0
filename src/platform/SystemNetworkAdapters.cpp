// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/SystemNetworkAdapters.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/Ipv4.h"
#include "platform/Process.h"

namespace qel {

namespace {

constexpr int kToolTimeoutMs = 5000;
constexpr int kArphrdEther = 1;

std::string readLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

NetworkAdapter::Kind kindOf(const std::string& name, bool loopback) {
    if (loopback) return NetworkAdapter::Kind::Loopback;
    const std::string sys = "/sys/class/net/" + name;
    if (exists(sys + "/wireless") || exists(sys + "/phy80211"))
        return NetworkAdapter::Kind::Wireless;
    // Bridges, veth pairs, tunnels, dummies and the like have no device behind them.
    if (!exists(sys + "/device") || std::atoi(readLine(sys + "/type").c_str()) != kArphrdEther)
        return NetworkAdapter::Kind::Virtual;
    return NetworkAdapter::Kind::Wired;
}

AddressChange toolResult(const ProcessResult& r, AddressMethod method) {
    AddressChange change;
    change.ok = r.exitCode == 0;
    change.method = method;
    if (!change.ok) change.message = r.started ? r.output : r.error;
    return change;
}

std::atomic<NetworkAdapters*> gInstalled{nullptr};

}  // namespace

NetworkAdapters& networkAdapters() {
    static SystemNetworkAdapters system;
    NetworkAdapters* installed = gInstalled.load();
    return installed ? *installed : system;
}

void setNetworkAdapters(NetworkAdapters* adapters) { gInstalled = adapters; }

std::vector<std::pair<std::string, std::string>> SystemNetworkAdapters::defaultGateways(
    const std::string& routes) {
    std::vector<std::pair<std::string, std::string>> found;
    std::istringstream in(routes);
    std::string line;
    std::getline(in, line);  // the column titles
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string iface, destination, gateway, flags, refs, use, metric, mask;
        if (!(fields >> iface >> destination >> gateway >> flags >> refs >> use >> metric >> mask))
            continue;
        if (destination != "00000000" || mask != "00000000") continue;
        // The kernel prints the address as it lies in memory, read as a host integer.
        const auto raw = static_cast<Ipv4>(std::strtoul(gateway.c_str(), nullptr, 16));
        if (raw != 0) found.emplace_back(iface, formatIpv4(raw));
    }
    return found;
}

std::vector<NetworkAdapter> SystemNetworkAdapters::adapters() {
    std::vector<NetworkAdapter> list;
    if (struct if_nameindex* names = ::if_nameindex()) {
        for (struct if_nameindex* n = names; n->if_index != 0; ++n) {
            NetworkAdapter adapter;
            adapter.name = n->if_name;
            list.push_back(std::move(adapter));
        }
        ::if_freenameindex(names);
    }
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0) all = nullptr;
    for (NetworkAdapter& adapter : list) {
        bool loopback = false;
        for (ifaddrs* a = all; a; a = a->ifa_next) {
            if (adapter.name != a->ifa_name) continue;
            loopback = loopback || (a->ifa_flags & IFF_LOOPBACK);
            if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
            const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
            adapter.addresses.push_back(formatIpv4(in->sin_addr.s_addr));
        }
        adapter.kind = kindOf(adapter.name, loopback);
    }
    if (all) ::freeifaddrs(all);
    // The calling thread's network namespace, which /proc/net (the process's) need not be.
    std::ifstream routes("/proc/thread-self/net/route");
    if (!routes) routes.open("/proc/net/route");
    std::stringstream text;
    text << routes.rdbuf();
    for (const auto& [iface, gateway] : defaultGateways(text.str()))
        for (NetworkAdapter& adapter : list)
            if (adapter.name == iface && adapter.gateway.empty()) adapter.gateway = gateway;
    return list;
}

bool SystemNetworkAdapters::mayChangeNetwork() {
    if (::geteuid() == 0) return true;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("CapEff:", 0) != 0) continue;
        const unsigned long long caps = std::strtoull(line.c_str() + 7, nullptr, 16);
        return (caps >> 12) & 1;  // CAP_NET_ADMIN
    }
    return false;
}

bool SystemNetworkAdapters::managedByNetworkManager(const std::string& adapter) {
    if (findProgram("nmcli").empty()) return false;
    const auto r = runProgram({"nmcli", "-t", "-f", "DEVICE,STATE", "device"}, kToolTimeoutMs);
    if (r.exitCode != 0) return false;  // NetworkManager does not run
    std::istringstream lines(r.output);
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind(adapter + ":", 0) == 0) return line.substr(adapter.size() + 1) != "unmanaged";
    return false;
}

AddressChange SystemNetworkAdapters::addAddress(const std::string& adapter,
                                                const std::string& cidr) {
    // Runtime only: the saved connection stays as it is.
    if (managedByNetworkManager(adapter))
        return toolResult(runProgram({"nmcli", "device", "modify", adapter, "+ipv4.addresses", cidr},
                                     kToolTimeoutMs),
                          AddressMethod::NetworkManager);
    if (!mayChangeNetwork()) return {false, AddressMethod::None, "no rights to change " + adapter};
    return toolResult(runProgram({"ip", "address", "add", cidr, "dev", adapter}, kToolTimeoutMs),
                      AddressMethod::IpTool);
}

AddressChange SystemNetworkAdapters::removeAddress(const std::string& adapter,
                                                   const std::string& cidr, AddressMethod method) {
    switch (method) {
        case AddressMethod::NetworkManager:
            return toolResult(runProgram({"nmcli", "device", "modify", adapter, "-ipv4.addresses",
                                          cidr},
                                         kToolTimeoutMs),
                              method);
        case AddressMethod::IpTool:
            return toolResult(
                runProgram({"ip", "address", "del", cidr, "dev", adapter}, kToolTimeoutMs), method);
        default:
            return {};
    }
}

std::string SystemNetworkAdapters::routeDevice(const std::string& output) {
    std::istringstream words(output);
    std::string word;
    while (words >> word)
        if (word == "dev" && words >> word) return word;
    return {};
}

NeighbourEntry SystemNetworkAdapters::setNeighbour(const std::string& ip, const std::string& mac) {
    NeighbourEntry entry;
    if (!mayChangeNetwork()) {
        entry.message = "no rights for a static neighbour entry";
        return entry;
    }
    entry.device = routeDevice(runProgram({"ip", "-o", "route", "get", ip}, kToolTimeoutMs).output);
    if (entry.device.empty()) {
        entry.message = "no route to " + ip;
        return entry;
    }
    const auto r = runProgram(
        {"ip", "neigh", "replace", ip, "lladdr", mac, "dev", entry.device, "nud", "permanent"},
        kToolTimeoutMs);
    entry.ok = r.exitCode == 0;
    if (!entry.ok) entry.message = r.started ? r.output : r.error;
    return entry;
}

void SystemNetworkAdapters::removeNeighbour(const std::string& ip, const std::string& device) {
    if (!device.empty()) runProgram({"ip", "neigh", "del", ip, "dev", device}, kToolTimeoutMs);
}

}  // namespace qel
