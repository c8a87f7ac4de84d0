// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The real adapter layer's `ip` path on a dummy interface (or a veth end) inside a network
// namespace that the test creates (root only): the address is added at start and removed at exit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <algorithm>
#include <thread>

#include "netsetup/PcAddressSetup.h"
#include "platform/Process.h"
#include "platform/SystemNetworkAdapters.h"

namespace qel {
namespace {

// The system's adapters, with one named interface taken for a wired one.
class TreatAsWired : public NetworkAdapters {
public:
    TreatAsWired(NetworkAdapters& inner, std::string name) : inner_(inner), name_(std::move(name)) {}
    std::vector<NetworkAdapter> adapters() override {
        auto list = inner_.adapters();
        for (auto& a : list)
            if (a.name == name_) a.kind = NetworkAdapter::Kind::Wired;
        return list;
    }
    AddressChange addAddress(const std::string& a, const std::string& c) override {
        return inner_.addAddress(a, c);
    }
    AddressChange removeAddress(const std::string& a, const std::string& c,
                                AddressMethod m) override {
        return inner_.removeAddress(a, c, m);
    }
    NeighbourEntry setNeighbour(const std::string& ip, const std::string& mac) override {
        return inner_.setNeighbour(ip, mac);
    }
    void removeNeighbour(const std::string& ip, const std::string& dev) override {
        inner_.removeNeighbour(ip, dev);
    }

private:
    NetworkAdapters& inner_;
    std::string name_;
};

std::vector<std::string> addressesOf(NetworkAdapters& layer, const std::string& name,
                                     NetworkAdapter* found = nullptr) {
    for (const auto& a : layer.adapters()) {
        if (a.name != name) continue;
        if (found) *found = a;
        return a.addresses;
    }
    return {"<no " + name + ">"};
}

TEST(AdapterNamespaceTest, TheIpPathAddsTheAddressAndTheExitRemovesIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to create a network namespace";
    const std::string ip = findProgram("ip");
    if (ip.empty()) GTEST_SKIP() << "iproute2 (ip) is not installed";
    const std::string ns = "quellmar-addr-" + std::to_string(::getpid());
    if (runProgram({ip, "netns", "add", ns}).exitCode != 0) GTEST_SKIP() << "no namespaces";
    struct Remove {
        std::string ip, ns;
        ~Remove() { runProgram({ip, "netns", "delete", ns}); }
    } remove{ip, ns};
    // A dummy interface; where the kernel has no dummy driver, one end of a veth pair.
    if (runProgram({ip, "-n", ns, "link", "add", "dummy0", "type", "dummy"}).exitCode != 0) {
        const auto r = runProgram(
            {ip, "-n", ns, "link", "add", "dummy0", "type", "veth", "peer", "name", "dummy1"});
        ASSERT_EQ(r.exitCode, 0) << r.output;
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"address", "add", "192.168.1.20/24", "dev", "dummy0"},
          {"link", "set", "dummy0", "up"},
          {"route", "add", "default", "via", "192.168.1.1", "dev", "dummy0"}}) {
        std::vector<std::string> argv = {ip, "-n", ns};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto r = runProgram(argv);
        ASSERT_EQ(r.exitCode, 0) << r.output;
    }
    QTemporaryDir dir;
    NetworkAdapter seen;
    std::vector<std::string> during, after;
    auto change = PcAddressSetup::Change::NoAdapter;
    bool entered = false;
    // Only this thread (and what it starts) enters the namespace.
    std::thread inside([&] {
        const int fd = ::open(("/run/netns/" + ns).c_str(), O_RDONLY | O_CLOEXEC);
        entered = fd >= 0 && ::setns(fd, CLONE_NEWNET) == 0;
        if (fd >= 0) ::close(fd);
        if (!entered) return;
        SystemNetworkAdapters system;
        addressesOf(system, "dummy0", &seen);
        TreatAsWired layer(system, "dummy0");
        PcAddressSetup setup(layer, dir.filePath("QelConfig.ini"));
        change = setup.automaticChange();
        during = addressesOf(system, "dummy0");
        setup.restoreAtExit();
        after = addressesOf(system, "dummy0");
    });
    inside.join();
    ASSERT_TRUE(entered);
    EXPECT_EQ(seen.kind, NetworkAdapter::Kind::Virtual);  // never chosen by itself
    EXPECT_EQ(seen.gateway, "192.168.1.1");
    EXPECT_EQ(change, PcAddressSetup::Change::Made);
    EXPECT_EQ(during, (std::vector<std::string>{"192.168.1.20", "192.168.6.222"}));
    EXPECT_EQ(after, std::vector<std::string>{"192.168.1.20"});
}

TEST(AdapterNamespaceTest, DefaultGatewaysAreReadFromTheRouteTable) {
    const std::string routes =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        "eth0\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n"
        "wlan0\t00000000\t01000A0A\t0003\t0\t0\t600\t00000000\t0\t0\t0\n";
    EXPECT_EQ(SystemNetworkAdapters::defaultGateways(routes),
              (std::vector<std::pair<std::string, std::string>>{{"eth0", "192.168.1.1"},
                                                                {"wlan0", "10.10.0.1"}}));
    EXPECT_EQ(SystemNetworkAdapters::routeDevice("192.168.6.20 dev eth0 src 192.168.6.222 uid 0"),
              "eth0");
}

}  // namespace
}  // namespace qel
