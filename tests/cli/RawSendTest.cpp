// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include "UnitSimulator.h"
#include "cli/CliOptions.h"
#include "platform/Ipv4.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

using test::runProcess;

class RawSendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ip = test::loopbackHost(test::loopbackSubnet(), 2);
        unit = sim.addNetworkUnit(3, ip, "Tower");
        ASSERT_GE(unit, 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
    }
    test::ProcessResult send(std::vector<std::string> args) {
        std::vector<std::string> argv = {QUELLMAR_CLI, "send", "--local-port", "0"};
        argv.insert(argv.end(), args.begin(), args.end());
        return runProcess(argv);
    }
    sim::UnitSimulator sim;
    int unit = -1;
    std::string ip;
};

TEST_F(RawSendTest, ReadPrintsTheReplyPayload) {
    auto r = send({"--ip", ip, "--block", "0", "--op", "0", "--channel", "0", "--code", "0x03",
                   "--reply-len", "1", "--tries", "2", "--timeout", "200"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "03\n");
    // Without --reply-len, the whole payload of the reply is shown.
    r = send({"--ip", ip, "--block", "0x3", "--op", "0", "--channel", "0", "--code", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.size(), 12u * 3);  // 12 gain bytes, "XX " each, newline at the end
}

TEST_F(RawSendTest, WriteChangesTheUnit) {
    auto r = send({"--ip", ip, "--block", "2", "--op", "2", "--channel", "3", "--code", "4",
                   "--payload", "E8 03", "--tries", "4", "--timeout", "400"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(sim.state(unit).params.out[2].delay, 1000);
}

TEST_F(RawSendTest, FailuresExplainThemselves) {
    sim.setFaults(unit, {.silentCodes = {0x03}});
    auto r = send({"--ip", ip, "--block", "0", "--op", "0", "--channel", "0", "--code", "3",
                   "--tries", "2", "--timeout", "100"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("no reply"), std::string::npos) << r.err;
    r = send({"--ip", ip, "--block", "0", "--op", "0", "--channel", "0"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("required"), std::string::npos) << r.err;
    r = send({"--ip", ip, "--serial", "COM1", "--block", "0", "--op", "0", "--channel", "0",
              "--code", "3"});
    EXPECT_EQ(r.exitCode, 1);
    r = send({"--serial", "COM9", "--serial-map", "COM9=/nonexistent/tty", "--block", "0", "--op",
              "0", "--channel", "0", "--code", "3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("/nonexistent/tty"), std::string::npos) << r.err;
    r = send({"--ip", ip, "--block", "0", "--op", "0", "--channel", "0", "--code", "0x1G"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("0x1G"), std::string::npos) << r.err;
}

TEST(CliOptionsTest, NumbersAndHexPayloads) {
    EXPECT_EQ(cli::parseNumber("42", 255), 42u);
    EXPECT_EQ(cli::parseNumber("0x2A", 255), 42u);
    EXPECT_EQ(cli::parseNumber("256", 255), std::nullopt);
    EXPECT_EQ(cli::parseNumber("", 255), std::nullopt);
    EXPECT_EQ(cli::parseNumber("-1", 255), std::nullopt);
    EXPECT_EQ(cli::parseHexBytes("E8 03"), (std::vector<uint8_t>{0xE8, 0x03}));
    EXPECT_EQ(cli::parseHexBytes("0x12,0x34"), (std::vector<uint8_t>{0x12, 0x34}));
    EXPECT_EQ(cli::parseHexBytes("a0b"), std::nullopt);
    EXPECT_EQ(cli::parseHexBytes("zz"), std::nullopt);
    const uint8_t bytes[3] = {0, 0xAB, 7};
    EXPECT_EQ(cli::hexLine(bytes, 3), "00 AB 07");
}

}  // namespace
}  // namespace qel
