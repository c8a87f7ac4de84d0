// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <set>

#include "CliJson.h"
#include "UnitSimulator.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

using test::runProcess;

// Two modules on a loopback subnet; the second answers the hello but never a login.
class ModuleCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(sim.addNetworkUnit(4, subnet + ".2", "Main"), 0) << sim.lastError();
        sim::Faults mute;
        mute.moduleNoLogin = true;
        ASSERT_GE(sim.addNetworkUnit(2, subnet + ".3", "Mute", mute), 0);
        ASSERT_TRUE(sim.start());
    }
    const std::string subnet = test::loopbackSubnet();
    sim::UnitSimulator sim;
};

TEST_F(ModuleCommandTest, ModulesListsRowsWithGlobalOptionsBeforeTheCommand) {
    const auto r = runProcess({QUELLMAR_CLI, "--gateway", subnet + ".1", "--module-search-port",
                               "0", "--trace", "modules"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string a = subnet + ".2\t" + subnet + ".1\t02:51:",
                      b = subnet + ".3\t" + subnet + ".1\t02:51:";
    const bool inOrder = r.out.rfind("1\t" + a, 0) == 0 && r.out.find("\n2\t" + b) != std::string::npos;
    const bool swapped = r.out.rfind("1\t" + b, 0) == 0 && r.out.find("\n2\t" + a) != std::string::npos;
    EXPECT_TRUE(inOrder || swapped) << r.out;
}

TEST_F(ModuleCommandTest, ReadPrintsTheAddressesOrTheDialogsError) {
    auto r = runProcess({QUELLMAR_CLI, "module-read", "--ip", subnet + ".2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, subnet + ".2\t" + subnet + ".1\t192.168.6.222\t192.168.6.223\n");
    r = runProcess({QUELLMAR_CLI, "module-read", "--ip", subnet + ".3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Error: Failure to get the equipment's network information !\n");
    EXPECT_EQ(sim.module(1).log().logins, 4);
}

TEST_F(ModuleCommandTest, JsonListsModulesAndTellsAReadOrItsFailure) {
    auto r = runProcess({QUELLMAR_CLI, "modules", "--json", "--gateway", subnet + ".1",
                         "--module-search-port", "0"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    auto json = test::jsonOf(r.out);
    EXPECT_TRUE(json["ok"].toBool());
    const QJsonArray modules = json["modules"].toArray();
    ASSERT_EQ(modules.size(), 2) << r.out;
    std::set<std::string> ips;
    for (int i = 0; i < 2; ++i) {
        const QJsonObject m = modules[i].toObject();
        EXPECT_EQ(m["row"].toInt(), i + 1);
        ips.insert(test::text(m["ip"]));
        EXPECT_EQ(test::text(m["gateway"]), subnet + ".1");
        EXPECT_EQ(test::text(m["mac"]).rfind("02:51:", 0), 0u) << r.out;
    }
    EXPECT_EQ(ips, (std::set<std::string>{subnet + ".2", subnet + ".3"}));

    r = runProcess({QUELLMAR_CLI, "module-read", "--json", "--ip", subnet + ".2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    json = test::jsonOf(r.out);
    EXPECT_TRUE(json["ok"].toBool());
    EXPECT_EQ(test::text(json["ip"]), subnet + ".2");
    EXPECT_EQ(test::text(json["gateway"]), subnet + ".1");
    EXPECT_EQ(test::text(json["pc1"]), "192.168.6.222");
    EXPECT_EQ(test::text(json["pc2"]), "192.168.6.223");
    r = runProcess({QUELLMAR_CLI, "module-read", "--json", "--ip", subnet + ".3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "");
    json = test::jsonOf(r.out);
    EXPECT_FALSE(json["ok"].toBool());
    EXPECT_EQ(test::text(test::field(json, "error", "code")), "module-read-failed");
    EXPECT_EQ(test::text(test::field(json, "error", "message")),
              "Error: Failure to get the equipment's network information !");
}

TEST_F(ModuleCommandTest, WriteIsRefusedBeforeAnythingIsSentOrChangesTheModule) {
    for (const auto& [unitIp, gateway] :
         {std::pair<std::string, std::string>{"0.0.3.4", subnet + ".1"}, {"10.5.0.1", "0.1.1.1"}}) {
        const auto r = runProcess({QUELLMAR_CLI, "module-write", "--ip", subnet + ".2", "--new-ip",
                                   unitIp, "--new-gateway", gateway, "--pc1", "1.2.3.4", "--pc2",
                                   "1.2.3.5"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "Error: IP Address or Gateway !\n");
    }
    EXPECT_EQ(sim.module(0).log().hellos, 0);  // nothing was sent
    const auto r = runProcess({QUELLMAR_CLI, "module-write", "--ip", subnet + ".2", "--new-ip",
                               subnet + ".7", "--new-gateway", subnet + ".254", "--pc1",
                               subnet + ".100", "--pc2", subnet + ".101"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Success to modify the IP Address !\n");
    const auto module = sim.module(0);
    EXPECT_EQ(module.log().writes, 1);
    EXPECT_EQ(formatIpv4(module.gateway()), subnet + ".254");
    EXPECT_EQ(formatIpv4(module.pc1()), subnet + ".100");
    EXPECT_EQ(sim.address(0), subnet + ".7");
    const auto bad = runProcess({QUELLMAR_CLI, "module-write", "--ip", subnet + ".7", "--mac", "zz"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("not a MAC address"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace qel
