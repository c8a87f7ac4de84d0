// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The search request on a real subnet: where it goes, and a search across a veth pair between
// two network namespaces (root only), where Linux treats a.b.c.255 as a broadcast address.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "link/EquipmentSearch.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

using test::runProcess;

TEST(SearchBroadcastTest, RequestGoesToTheGatewaysBroadcastAddress) {
    const SearchSettings defaults;
    EXPECT_EQ(formatIpv4(EquipmentSearch::requestAddress(defaults.gateway)), "192.168.6.255");
    EXPECT_EQ(formatIpv4(EquipmentSearch::requestAddress({10, 0, 0, 1})), "10.0.0.255");
    EXPECT_EQ(defaults.modulePort, 8000);
    EXPECT_EQ(defaults.searchPort, 9401);
}

std::string ipTool() {
    for (const char* path : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"})
        if (::access(path, X_OK) == 0) return path;
    return {};
}

// Two namespaces joined by a veth pair: the PC's end 192.168.6.10/24, the unit's .20/24.
// Deleting the namespaces also deletes the pair.
class VethPair {
public:
    VethPair(std::string ip, std::string pc, std::string unit)
        : ip_(std::move(ip)), pc_(std::move(pc)), unit_(std::move(unit)) {
        for (const auto* ns : {&pc_, &unit_}) {
            const auto r = runProcess({ip_, "netns", "add", *ns}, 10000);
            if (r.exitCode != 0) {
                error_ = r.err;
                return;
            }
            added_.push_back(*ns);
        }
    }
    ~VethPair() {
        for (const auto& ns : added_) runProcess({ip_, "netns", "delete", ns}, 10000);
    }
    bool created() const { return added_.size() == 2; }
    const std::string& error() const { return error_; }

    bool configure() {
        return run(pc_, {"link", "add", "pc0", "type", "veth", "peer", "name", "unit0", "netns",
                         unit_}) &&
               up(pc_, "pc0", "192.168.6.10/24") && up(unit_, "unit0", "192.168.6.20/24");
    }

private:
    bool up(const std::string& ns, const std::string& dev, const std::string& address) {
        return run(ns, {"address", "add", address, "brd", "+", "dev", dev}) &&
               run(ns, {"link", "set", dev, "up"});
    }
    bool run(const std::string& ns, std::vector<std::string> args) {
        args.insert(args.begin(), {ip_, "-n", ns});
        const auto r = runProcess(args, 10000);
        if (r.exitCode != 0) error_ += r.err;
        return r.exitCode == 0;
    }

    std::string ip_, pc_, unit_, error_;
    std::vector<std::string> added_;
};

TEST(SearchBroadcastTest, FindsAUnitBehindAVethPairWithTheDefaultGateway) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to create network namespaces";
    const std::string ip = ipTool();
    if (ip.empty()) GTEST_SKIP() << "iproute2 (ip) is not installed";
    const std::string pid = std::to_string(::getpid());
    const std::string pc = "quellmar-pc-" + pid, unit = "quellmar-unit-" + pid;
    {
        VethPair net(ip, pc, unit);
        if (!net.created()) GTEST_SKIP() << "network namespaces unavailable: " << net.error();
        ASSERT_TRUE(net.configure()) << net.error();
        test::RunningProgram sim({ip, "netns", "exec", unit, QUELLMAR_UNITSIM_PATH, "--unit",
                                  "QD408@192.168.6.20:Main Stage"});
        ASSERT_EQ(sim.readLine(5000), "QD408\t192.168.6.20\tMain Stage");
        // The default gateway is 192.168.6.255; 192.168.6.1 gives the same .255 address.
        for (const std::vector<std::string>& extra :
             {std::vector<std::string>{}, {"--gateway", "192.168.6.1"}}) {
            std::vector<std::string> argv = {ip,           "netns",  "exec",        pc,
                                             QUELLMAR_CLI, "search", "--no-serial", "--trace"};
            argv.insert(argv.end(), extra.begin(), extra.end());
            const auto r = runProcess(argv, 10000);
            EXPECT_EQ(r.exitCode, 0) << r.err;
            EXPECT_EQ(r.out, "1\tQD408\tMain Stage\tUDP\t192.168.6.20\t0x8\n") << r.err;
        }
    }
    const auto list = runProcess({ip, "netns", "list"}, 10000);
    EXPECT_EQ(list.out.find(pc), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find(unit), std::string::npos) << list.out;
}

}  // namespace
}  // namespace qel
