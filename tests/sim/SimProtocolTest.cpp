// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Command frames over real loopback sockets: what a unit answers and what it changes.
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "SimClient.h"
#include "UnitSimulator.h"
#include "WireText.h"
#include "support/Loopback.h"

namespace qel::sim {
namespace {

using test::frameOf;
using test::kTag;
using test::payloadOf;

class SimProtocol : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string subnet = qel::test::loopbackSubnet();
        qd408 = sim.addNetworkUnit(4, qel::test::loopbackHost(subnet, 2), "Stage Left");
        qd206 = sim.addNetworkUnit(2, qel::test::loopbackHost(subnet, 3), "Rack");
        ASSERT_GE(qd206, 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        client.emplace(qel::test::loopbackHost(subnet, 1), sim.address(qd408));
        client206.emplace(qel::test::loopbackHost(subnet, 1), sim.address(qd206));
    }

    Bytes ask(uint8_t block, uint8_t operation, uint8_t channel, uint8_t code,
              const Bytes& payload = {0, 0}) {
        return client->ask(block, operation, channel, code, payload);
    }
    Bytes write(uint8_t block, uint8_t channel, uint8_t code, const Bytes& payload) {
        return ask(block, op::kWrite, channel, code, payload);
    }
    Params params() const { return sim.state(qd408).params; }

    UnitSimulator sim;
    int qd408 = -1, qd206 = -1;
    std::optional<test::UdpClient> client, client206;
};

TEST_F(SimProtocol, RepliesEchoTagChannelAndCodeWithOddOperationAndOwnLength) {
    struct Case {
        uint8_t block, operation, channel, code;
        Bytes payload;
    };
    const Case cases[] = {{0, op::kRead, 0, 0x04, {0, 0}},
                          {1, op::kWrite, 2, 0x01, {90, 0}},
                          {2, op::kLoad, 8, 0x04, {0x10, 0x27}},
                          {2, op::kLinkedWrite, 1, 0x0B, {3, 40, 1, 2}},
                          {3, op::kRead, 0, 0x04, {0, 0}}};
    for (const Case& c : cases) {
        const auto reply =
            client->exchange(frameOf(c.block, c.operation, c.channel, c.code, c.payload));
        ASSERT_TRUE(reply) << "code " << int(c.code);
        const Bytes& r = *reply;
        EXPECT_EQ(frameTag(r.data()), kTag);
        EXPECT_EQ(r[frame::kChannel], c.channel);
        EXPECT_EQ(r[frame::kCode], c.code);
        EXPECT_EQ(r[frame::kTarget], (c.block << 4) | (c.operation | 1));
        EXPECT_EQ(r[frame::kLength], r.size());
        EXPECT_TRUE(frameChecksumValid(r.data(), r.size()));
        if (c.operation != op::kRead) {
            EXPECT_EQ(payloadOf(r), c.payload);
        }
    }
}

TEST_F(SimProtocol, BadChecksumAndJunkAreIgnoredOnlyTheChecksumIsCounted) {
    Bytes bad = frameOf(2, op::kWrite, 1, 0x01, {7, 0});
    bad[frame::kChecksumLow] ^= 0x01;
    EXPECT_FALSE(client->exchange(bad, 300));
    EXPECT_FALSE(client->exchange(Bytes{0xFF, 0xFF, 0x34, 0x12}, 100));
    EXPECT_FALSE(client->exchange(Bytes(12, 0x00), 100));
    EXPECT_EQ(sim.badChecksums(qd408), 1u);
    EXPECT_EQ(params().out[0].gain, 100);
    const auto log = sim.requests(qd408);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_FALSE(log[0].checksumOk);
    EXPECT_EQ(log[0].frame, bad);
    EXPECT_EQ(ask(0, op::kRead, 0, 0x03), (Bytes{4, 0}));
}

TEST_F(SimProtocol, UnitWideReadsIdentifyTheUnitAndItsModes) {
    EXPECT_EQ(ask(0, op::kRead, 0, 0x02), (Bytes{0, 0}));
    EXPECT_EQ(ask(0, op::kRead, 0, 0x03), (Bytes{4, 0}));
    EXPECT_EQ(client206->ask(0, op::kRead, 0, 0x03), (Bytes{2, 0}));
    EXPECT_EQ(ask(0, op::kRead, 0, 0x06), (Bytes{0, 0}));
    EXPECT_EQ(ask(0, op::kRead, 0, 0x11), (Bytes{0, 0}));
    const Bytes modeName = ask(0, op::kRead, 0, 0x12, {2, 0});
    ASSERT_EQ(modeName.size(), 30u);
    EXPECT_EQ(decodeWireText(modeName.data(), 20), "Mode 3");
    EXPECT_EQ(ask(0, op::kRead, 0, 0x15, {9, 8}), (Bytes{9, 8}));  // unknown: echoed
}

TEST_F(SimProtocol, MetersMoveWithinRangeAndMissingChannelsStayAtZero) {
    std::set<Bytes> seen;
    for (int i = 0; i < 6; ++i) {
        const Bytes levels = ask(0, op::kRead, 0, 0x07);
        ASSERT_EQ(levels.size(), 12u);
        for (uint8_t level : levels) EXPECT_LE(level, 30);
        seen.insert(levels);
        sleepMs(150);
    }
    EXPECT_GT(seen.size(), 1u);
    const Bytes levels206 = client206->ask(0, op::kRead, 0, 0x07);
    ASSERT_EQ(levels206.size(), 12u);
    for (size_t slot : {2u, 3u, 10u, 11u}) EXPECT_EQ(levels206[slot], 0) << slot;
}

TEST_F(SimProtocol, WholeRowReadsGiveFourInputsAndEightOutputs) {
    const size_t lengths[8] = {8, 12, 12, 8, 16, 8, 8, 8};
    for (uint8_t code = 0; code < 8; ++code)
        EXPECT_EQ(ask(3, op::kRead, 0, code).size(), lengths[code]) << int(code);
    write(1, 2, 0x01, {77, 0});
    write(2, 7, 0x01, {55, 0});
    write(2, 1, 0x02, {1, 0});
    const Bytes gains = ask(3, op::kRead, 0, 0x01);
    EXPECT_EQ(gains[1], 77);
    EXPECT_EQ(gains[4 + 6], 55);
    EXPECT_EQ(ask(3, op::kRead, 0, 0x02)[4], 1);
    // Input select is kept and returned as the unit's code of the input set.
    EXPECT_EQ(ask(3, op::kRead, 0, 0x00), (Bytes{1, 2, 3, 4, 1, 2, 3, 4}));
    EXPECT_EQ(client206->ask(3, op::kRead, 0, 0x00), (Bytes{1, 2, 1, 2, 1, 2, 1, 2}));
    write(2, 2, 0x00, {12, 0});
    EXPECT_EQ(ask(3, op::kRead, 0, 0x00)[1], 12);
    EXPECT_EQ(inputSelectBits(params().out[1].inputSelectCode), 0xB);
}

TEST_F(SimProtocol, DelayTravelsAsSixteenBitsLittleEndian) {
    EXPECT_EQ(write(2, 3, 0x04, {0xE8, 0x03}), (Bytes{0xE8, 0x03}));
    write(2, 8, 0x04, {0xCD, 0xAB});
    EXPECT_EQ(params().out[2].delay, 1000);
    EXPECT_EQ(params().out[7].delay, 0xABCD);
    const Bytes row = ask(3, op::kRead, 0, 0x04);
    EXPECT_EQ(row[4], 0xE8);
    EXPECT_EQ(row[5], 0x03);
    EXPECT_EQ(row[14], 0xCD);
    EXPECT_EQ(row[15], 0xAB);
}

TEST_F(SimProtocol, EqBlockHoldsFiveBytesPerPointThenTheSwitch) {
    write(1, 2, 0x09, {14, 2, 200, 150, 30, 0});
    write(1, 2, 0x0A, {0, 0});
    const Bytes in = ask(1, op::kRead, 2, 0x08);
    ASSERT_EQ(in.size(), 76u);
    EXPECT_EQ(Bytes(in.begin() + 70, in.begin() + 74), (Bytes{2, 200, 150, 30}));
    EXPECT_EQ(in[75], 0);
    EXPECT_EQ(in[2], 120);  // point 1 gain: flat

    write(2, 5, 0x09, {9, 1, 33, 44, 55, 0});
    const Bytes out = ask(2, op::kRead, 5, 0x08);
    ASSERT_EQ(out.size(), 51u);
    EXPECT_EQ(Bytes(out.begin() + 45, out.begin() + 49), (Bytes{1, 33, 44, 55}));
    EXPECT_EQ(out[50], 1);
    EXPECT_EQ(params().out[4].eq[9][2], 44);
}

TEST_F(SimProtocol, LinkedWritesReachEveryListedChannel) {
    ask(1, op::kLinkedWrite, 1, 0x09, {3, 0, 99, 130, 8, 2, 2, 3});
    for (int ch : {0, 1, 2}) EXPECT_EQ(params().in[ch].eq[3][1], 99) << ch;
    EXPECT_NE(params().in[3].eq[3][1], 99);
    ask(1, op::kLinkedWrite, 1, 0x09, {4, 0, 77, 130, 8, 3, 2, 3, 4, 0});
    for (int ch : {0, 1, 2, 3}) EXPECT_EQ(params().in[ch].eq[4][1], 77) << ch;

    ask(2, op::kLinkedWrite, 1, 0x0B, {3, 40, 1, 5});
    ask(2, op::kLinkedWrite, 6, 0x0C, {2, 200, 2, 2, 3, 0});
    const Params p = params();
    for (int ch : {0, 4}) EXPECT_EQ(p.out[ch].hpfFreq, 40) << ch;
    EXPECT_EQ(p.out[1].hpfFreq, 0);
    for (int ch : {5, 1, 2}) EXPECT_EQ(p.out[ch].lpfFreq, 200) << ch;
    EXPECT_EQ(p.out[0].lpfFreq, 255);
    ask(2, op::kLinkedWrite, 3, 0x0A, {0, 1, 4});
    EXPECT_EQ(params().out[2].eqSwitch, 0);
    EXPECT_EQ(params().out[3].eqSwitch, 0);
}

TEST_F(SimProtocol, FiltersReadBackCopyAndResetActOnTheEq) {
    EXPECT_EQ(ask(2, op::kRead, 2, 0x0B), (Bytes{1, 0}));
    EXPECT_EQ(ask(2, op::kRead, 2, 0x0C), (Bytes{1, 255}));
    write(2, 2, 0x0B, {4, 60});
    write(2, 2, 0x0C, {7, 180});
    write(2, 2, 0x09, {0, 2, 10, 170, 9, 0});
    write(2, 2, 0x01, {40, 0});
    EXPECT_EQ(ask(2, op::kRead, 2, 0x0C), (Bytes{7, 180}));
    write(2, 6, 0x0D, {2, 0});
    Params p = params();
    EXPECT_EQ(ask(2, op::kRead, 6, 0x08), ask(2, op::kRead, 2, 0x08));
    EXPECT_EQ(p.out[5].hpfType, 4);
    EXPECT_EQ(p.out[5].lpfFreq, 180);
    EXPECT_EQ(p.out[5].gain, 100);  // only EQ and filters are copied
    write(2, 6, 0x0F, {0, 0});
    EXPECT_EQ(params().out[5].eq[0][2], 120);
    EXPECT_EQ(params().out[1].eq[0][2], 170);
}

TEST_F(SimProtocol, NamesTravelLoweredAndPasswordsAsDigitValues) {
    uint8_t wire[20];
    encodeWireText("Front", wire, 20);
    EXPECT_EQ(wire[0], 'F' - 0x20);
    write(0, 0, 0x04, Bytes(wire, wire + 20));
    const Bytes name = ask(0, op::kRead, 0, 0x04);
    ASSERT_EQ(name.size(), 20u);
    std::string raised;
    for (uint8_t b : name) raised.push_back(static_cast<char>(b + 0x20));
    EXPECT_EQ(raised, "Front" + std::string(15, ' '));

    EXPECT_EQ(ask(0, op::kRead, 0, 0x05), Bytes(6, 0));
    write(0, 0, 0x05, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(ask(0, op::kRead, 0, 0x05), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(SimProtocol, StoreNeedsEngineeringModeAndRecallRestoresParams) {
    uint8_t live[20];
    encodeWireText("Live", live, 20);
    write(2, 1, 0x01, {150, 0});
    write(0, 0, 0x12, Bytes(live, live + 20));
    EXPECT_FALSE(client->exchange(frameOf(0, op::kWrite, 0, 0x10, {5, 0}), 300));
    EXPECT_EQ(decodeWireText(ask(0, op::kRead, 0, 0x12, {5, 0}).data(), 20), "Mode 6");

    write(0, 0, 0x06, {1, 0});
    EXPECT_EQ(ask(0, op::kRead, 0, 0x06), (Bytes{1, 0}));
    write(0, 0, 0x12, Bytes(live, live + 20));
    EXPECT_EQ(write(0, 0, 0x10, {5, 0}), (Bytes{5, 0}));
    EXPECT_EQ(decodeWireText(ask(0, op::kRead, 0, 0x12, {5, 0}).data(), 20), "Live");

    write(2, 1, 0x01, {10, 0});
    EXPECT_EQ(write(0, 0, 0x11, {5, 0}), (Bytes{5, 0}));
    EXPECT_EQ(params().out[0].gain, 150);
    EXPECT_EQ(ask(0, op::kRead, 0, 0x11), (Bytes{5, 0}));
    write(0, 0, 0x11, {0, 0});
    EXPECT_EQ(params().out[0].gain, 100);
}

}  // namespace
}  // namespace qel::sim
