// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// quellmar-unitsim as a program: its command line, its start-up lines, its state file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "SimClient.h"
#include "WireText.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"

namespace qel::sim {
namespace {

const std::string kTool = QUELLMAR_UNITSIM_PATH;

std::string field(const std::string& line, int index) {
    size_t start = 0;
    for (int i = 0; i < index; ++i) start = line.find('\t', start) + 1;
    return line.substr(start, line.find('\t', start) - start);
}

// The tool's command line.
std::vector<std::string> toolArgs(std::vector<std::string> args) {
    args.insert(args.begin(), kTool);
    return args;
}

TEST(SimTool, HelpNamesEveryOptionAndBadOptionsExitWithTwo) {
    const auto help = qel::test::runProcess({kTool, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"--unit ", "--serial ", "--unit-port", "--module-port", "--state", "--drop ",
          "--drop-requests", "--drop-replies", "--seed", "--delay", "--jitter", "--duplicate",
          "--late", "--wrong-tag", "--wrong-echo", "--busy", "--silent", "--bytewise"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;

    for (const auto& args : std::vector<std::vector<std::string>>{
             {kTool, "--bogus"}, {kTool, "--unit", "QD408@nowhere"}, {kTool}}) {
        const auto bad = qel::test::runProcess(args);
        EXPECT_EQ(bad.exitCode, 2) << args.back();
        EXPECT_TRUE(bad.out.empty());
        ASSERT_FALSE(bad.err.empty());
        EXPECT_EQ(bad.err.find('\n'), bad.err.size() - 1) << bad.err;
    }
}

TEST(SimTool, ServesItsUnitsAndKeepsTheirStateAcrossRuns) {
    const std::string subnet = qel::test::loopbackSubnet();
    const std::string ip = qel::test::loopbackHost(subnet, 2);
    const std::string state = ::testing::TempDir() + "unitsim-" + std::to_string(::getpid());
    std::remove(state.c_str());
    const std::vector<std::string> args = {
        "--unit", "QD406@" + ip + ":Hall", "--serial", "5", "--state", state};
    uint8_t renamed[20];
    encodeWireText("Renamed", renamed, 20);
    {
        qel::test::RunningProgram tool(toolArgs(args));
        EXPECT_EQ(tool.readLine(), "QD406\t" + ip + "\tHall");
        const std::string serialLine = tool.readLine();
        ASSERT_EQ(serialLine.rfind("model 5\t/dev/pts/", 0), 0u) << serialLine;
        test::UdpClient client(qel::test::loopbackHost(subnet, 1), ip);
        EXPECT_EQ(client.ask(0, op::kRead, 0, 0x03), (Bytes{3, 0}));
        client.ask(0, op::kWrite, 0, 0x04, Bytes(renamed, renamed + 20));

        test::SerialClient serial(field(serialLine, 1));
        ASSERT_TRUE(serial.isOpen());
        serial.write(test::frameOf(0, op::kRead, 0, 0x03));
        const auto reply = serial.readFrame();
        ASSERT_TRUE(reply);
        EXPECT_EQ(test::payloadOf(*reply), (Bytes{5, 0}));
        EXPECT_EQ(tool.terminate(), 0);
    }
    qel::test::RunningProgram again(toolArgs(args));
    EXPECT_FALSE(again.readLine().empty());
    test::UdpClient client(qel::test::loopbackHost(subnet, 1), ip);
    EXPECT_EQ(client.ask(0, op::kRead, 0, 0x04), Bytes(renamed, renamed + 20));
    EXPECT_EQ(again.terminate(), 0);
    std::remove(state.c_str());
}

}  // namespace
}  // namespace qel::sim
