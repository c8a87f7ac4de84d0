// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The pieces that need no socket: the serial frame splitter and the command line.
#include <gtest/gtest.h>

#include "FrameSplitter.h"
#include "SimClient.h"
#include "UnitSimOptions.h"

namespace qel::sim {
namespace {

using test::frameOf;

TEST(SimFrameSplitter, FindsFramesAcrossPiecesJunkAndFalseStarts) {
    FrameSplitter splitter;
    const Bytes a = frameOf(0, op::kRead, 0, 0x03);
    const Bytes b = frameOf(2, op::kWrite, 1, 0x09, {1, 0, 50, 120, 4, 0});
    EXPECT_TRUE(splitter.feed(a.data(), 5).empty());
    auto frames = splitter.feed(a.data() + 5, a.size() - 5);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], a);

    // Junk, a start with an impossible length, a start whose length swallows the next frame.
    Bytes stream = {0x13, 0xFF, 0xFF, 0x00, 0x00, 0x05, 0x7E, 0xFF, 0xFF, 0x01, 0x02, 0x60};
    stream.insert(stream.end(), b.begin(), b.end());
    stream.insert(stream.end(), a.begin(), a.end());
    frames = splitter.feed(stream.data(), stream.size());
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], b);
    EXPECT_EQ(frames[1], a);
    EXPECT_EQ(splitter.pending(), 0u);
}

TEST(SimFrameSplitter, HandsOutBadFramesAndFindsTheNextOne) {
    FrameSplitter splitter;
    Bytes bad = frameOf(0, op::kRead, 0, 0x04);
    bad[frame::kChecksumLow] ^= 0xFF;
    const Bytes good = frameOf(0, op::kRead, 0, 0x05);
    Bytes stream = bad;
    stream.insert(stream.end(), good.begin(), good.end());
    const auto frames = splitter.feed(stream.data(), stream.size());
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_FALSE(frameChecksumValid(frames[0].data(), frames[0].size()));
    EXPECT_EQ(frames[1], good);
}

UnitSimOptions parsed(const std::vector<std::string>& args) {
    UnitSimOptions options;
    EXPECT_TRUE(options.parse(args)) << options.error();
    return options;
}

std::string parseError(const std::vector<std::string>& args) {
    UnitSimOptions options;
    EXPECT_FALSE(options.parse(args));
    return options.error();
}

TEST(SimOptions, ModelsAddressesNamesAndPorts) {
    EXPECT_EQ(UnitSimOptions::parseModel("QD206"), 2);
    EXPECT_EQ(UnitSimOptions::parseModel("qd406"), 3);
    EXPECT_EQ(UnitSimOptions::parseModel("408"), 4);
    EXPECT_EQ(UnitSimOptions::parseModel("5"), 5);
    EXPECT_EQ(UnitSimOptions::parseModel("0x7"), 7);
    EXPECT_FALSE(UnitSimOptions::parseModel("QD999"));
    EXPECT_FALSE(UnitSimOptions::parseModel("256"));

    const auto o =
        parsed({"--unit", "QD408@127.9.9.2:Stage: Left", "--serial", "206", "--serial=5:Odd",
                "--unit-port", "0x2670", "--module-port=8001", "--state", "s.bin"});
    ASSERT_EQ(o.units().size(), 3u);
    EXPECT_EQ(o.units()[0].address, "127.9.9.2");
    EXPECT_EQ(o.units()[0].name, "Stage: Left");
    EXPECT_TRUE(o.units()[1].serial);
    EXPECT_EQ(o.units()[1].model, 2);
    EXPECT_EQ(o.units()[1].name, "Unit 2");
    EXPECT_EQ(o.units()[2].model, 5);
    EXPECT_EQ(o.units()[2].name, "Odd");
    EXPECT_EQ(o.ports().unitPort, 0x2670);
    EXPECT_EQ(o.ports().modulePort, 8001);
    EXPECT_EQ(o.stateFile(), "s.bin");
}

TEST(SimOptions, FaultsApplyToThePreviousUnitOrToAllWhenFirst) {
    const auto o =
        parsed({"--delay", "20", "--unit", "406@127.9.9.2", "--drop", "0.25", "--silent", "3,0x12",
                "--busy", "last", "--serial", "QD408", "--late", "--seed", "0x10", "--bytewise"});
    const Faults& net = o.units()[0].faults;
    const Faults& serial = o.units()[1].faults;
    EXPECT_EQ(net.replyDelayMs, 20);
    EXPECT_EQ(serial.replyDelayMs, 20);
    EXPECT_EQ(net.dropRequests, 0.25);
    EXPECT_EQ(net.dropReplies, 0.25);
    EXPECT_EQ(serial.dropRequests, 0.0);
    EXPECT_EQ(net.silentCodes, (std::set<uint8_t>{3, 0x12}));
    EXPECT_EQ(net.busy, Faults::Busy::Last);
    EXPECT_FALSE(net.lateReplies);
    EXPECT_TRUE(serial.lateReplies);
    EXPECT_EQ(serial.seed, 16u);
    EXPECT_TRUE(serial.bytewiseSerial);
}

TEST(SimOptions, BadCommandLinesSayWhy) {
    EXPECT_NE(parseError({}).find("no unit"), std::string::npos);
    EXPECT_NE(parseError({"--unit", "QD408"}).find("MODEL@IP"), std::string::npos);
    EXPECT_NE(parseError({"--unit", "QD408@10.0.0"}).find("IPv4"), std::string::npos);
    EXPECT_NE(parseError({"--unit", "QD4@127.0.0.9"}).find("model"), std::string::npos);
    EXPECT_NE(parseError({"--serial", "2", "--drop", "1.5"}).find("--drop"), std::string::npos);
    EXPECT_NE(parseError({"--serial", "2", "--busy", "often"}).find("--busy"), std::string::npos);
    EXPECT_NE(parseError({"--serial", "2", "--silent", "3,,4"}).find("--silent"),
              std::string::npos);
    EXPECT_NE(parseError({"--serial", "2", "--unit-port", "70000"}).find("port"),
              std::string::npos);
    EXPECT_NE(parseError({"--serial", "2", "--delay"}).find("needs a value"), std::string::npos);
    EXPECT_NE(parseError({"--serial", "2", "--late=1"}).find("no value"), std::string::npos);
    EXPECT_NE(parseError({"--serial", "2", "--frobnicate"}).find("unknown option"),
              std::string::npos);
    EXPECT_TRUE(parsed({"--help"}).help());
    EXPECT_TRUE(parsed({"--version"}).version());
}

}  // namespace
}  // namespace qel::sim
