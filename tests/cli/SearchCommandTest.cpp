// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include "CliJson.h"
#include "UnitSimulator.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

TEST(SearchCommandTest, ListsNetworkAndSerialUnitsOnePerLine) {
    const std::string subnet = test::loopbackSubnet();
    sim::UnitSimulator sim;
    ASSERT_GE(sim.addNetworkUnit(4, subnet + ".2", "Main Stage  "), 0) << sim.lastError();
    ASSERT_GE(sim.addNetworkUnit(2, subnet + ".3", "Fill"), 0);
    const int rack = sim.addSerialUnit(3, "Rack");
    ASSERT_TRUE(sim.start());
    std::vector<std::string> argv = {QUELLMAR_CLI, "search", "--gateway", subnet + ".1",
                                     "--local-port", "0", "--search-port", "0"};
    for (int n = 1; n <= 16; ++n)
        argv.insert(argv.end(), {"--serial-map", "COM" + std::to_string(n) + "=" +
                                                     (n == 7 ? sim.slavePath(rack) : "/nonexistent")});
    const auto r = test::runProcess(argv);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1\tQD408\tMain Stage\tUDP\t" + subnet + ".2\t0x8\n"
                     "2\tQD206\tFill\tUDP\t" + subnet + ".3\t0x8\n"
                     "3\tQD406\tRack\tCOM7\t-\t0x4\n");
}

TEST(SearchCommandTest, JsonListsTheUnitsAndTellsFailuresOnStandardOutput) {
    const std::string subnet = test::loopbackSubnet();
    sim::UnitSimulator sim;
    ASSERT_GE(sim.addNetworkUnit(4, subnet + ".2", "Main Stage  "), 0) << sim.lastError();
    const int rack = sim.addSerialUnit(3, "Rack");
    ASSERT_TRUE(sim.start());
    std::vector<std::string> argv = {QUELLMAR_CLI, "search", "--json", "--gateway", subnet + ".1",
                                     "--local-port", "0", "--search-port", "0"};
    for (int n = 1; n <= 16; ++n)
        argv.insert(argv.end(), {"--serial-map", "COM" + std::to_string(n) + "=" +
                                                     (n == 2 ? sim.slavePath(rack) : "/nonexistent")});
    auto r = test::runProcess(argv);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    auto json = test::jsonOf(r.out);
    EXPECT_TRUE(json["ok"].toBool());
    const QJsonArray units = json["units"].toArray();
    ASSERT_EQ(units.size(), 2) << r.out;
    const QJsonObject net = units[0].toObject(), serial = units[1].toObject();
    EXPECT_EQ(net["position"].toInt(), 1);
    EXPECT_EQ(test::text(net["model"]), "QD408");
    EXPECT_EQ(test::text(net["name"]), "Main Stage");
    EXPECT_EQ(test::text(net["transport"]), "udp");
    EXPECT_EQ(test::text(net["address"]), subnet + ".2");
    EXPECT_TRUE(net["port"].isNull());
    EXPECT_EQ(net["flags"].toInt(), 0x8);
    EXPECT_EQ(test::text(serial["model"]), "QD406");
    EXPECT_EQ(test::text(serial["transport"]), "serial");
    EXPECT_EQ(test::text(serial["port"]), "COM2");
    EXPECT_TRUE(serial["address"].isNull());

    // A usage error and an unknown command: the document, not a line on standard error.
    const std::pair<std::vector<std::string>, std::string> failures[] = {
        {{"search", "--gateway", "300.1.1.1", "--json"}, "300.1.1.1"},
        {{"serach", "--json"}, "unknown command 'serach'"}};
    for (const auto& [args, named] : failures) {
        std::vector<std::string> bad = {QUELLMAR_CLI};
        bad.insert(bad.end(), args.begin(), args.end());
        r = test::runProcess(bad);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "");
        json = test::jsonOf(r.out);
        EXPECT_FALSE(json["ok"].toBool());
        EXPECT_EQ(test::text(test::field(json, "error", "code")), "usage");
        EXPECT_NE(test::text(test::field(json, "error", "message")).find(named), std::string::npos) << r.out;
    }
}

// The trace goes to standard error with --trace; QT_LOGGING_RULES picks its categories and
// wins over the option.
TEST(SearchCommandTest, TraceFollowsTheOptionAndTheLoggingRules) {
    const std::string subnet = test::loopbackSubnet();
    sim::UnitSimulator sim;
    ASSERT_GE(sim.addNetworkUnit(4, subnet + ".2", "Main"), 0) << sim.lastError();
    ASSERT_TRUE(sim.start());
    const std::string header = "Search For Equipment.\n", after = "\n\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"QT_LOGGING_RULES="}, ""},
        {{"QT_LOGGING_RULES=", "--trace"}, header + after},
        {{"QT_LOGGING_RULES=qel.search.info=false", "--trace"}, after},
        {{"QT_LOGGING_RULES=qel.search.info=true;qel.search.debug=true"}, header + after},
        {{"QT_LOGGING_RULES=qel.*=false", "--trace"}, ""}};
    for (const auto& [extra, err] : cases) {
        std::vector<std::string> argv = {"/usr/bin/env", extra[0],    QUELLMAR_CLI, "search",
                                         "--no-serial",  "--gateway", subnet + ".1"};
        argv.insert(argv.end(), {"--local-port", "0", "--search-port", "0"});
        argv.insert(argv.end(), extra.begin() + 1, extra.end());
        const auto r = test::runProcess(argv);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "1\tQD408\tMain\tUDP\t" + subnet + ".2\t0x8\n");
        EXPECT_EQ(r.err, err) << extra[0];
    }
}

// --all that finds nothing says where it looked and how to look on the units' network.
TEST(SearchCommandTest, AllThatFindsNoUnitsPointsAtTheGatewayOption) {
    const std::string empty = test::loopbackSubnet();
    std::vector<std::string> argv = {QUELLMAR_CLI,  "serve",         "--all",      "--listen",
                                     "127.0.0.1:0", "--gateway",     empty + ".1", "--local-port",
                                     "0",           "--search-port", "0"};
    for (int n = 1; n <= 16; ++n)
        argv.insert(argv.end(), {"--serial-map", "COM" + std::to_string(n) + "=/nonexistent"});
    const auto r = test::runProcess(argv);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no units on " + empty + ".255"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--gateway A.B.C.D"), std::string::npos) << r.err;
}

TEST(SearchCommandTest, BadGatewayIsRefused) {
    const auto r = test::runProcess({QUELLMAR_CLI, "search", "--gateway", "300.1.1.1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("300.1.1.1"), std::string::npos);
}

}  // namespace
}  // namespace qel
