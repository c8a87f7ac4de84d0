// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The ways in: module search on the subnet's .255 address, serial units on pseudo-terminals,
// units that join or leave, and states kept in a file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <optional>

#include "ModuleSearch.h"
#include "SimClient.h"
#include "UnitSimulator.h"
#include "support/Loopback.h"

namespace qel::sim {
namespace {

using test::frameOf;
using test::payloadOf;

const Bytes kSearch = {0x01, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF};

Ipv4 addressAt(const Bytes& reply, size_t offset) {
    return ipv4FromOctets(reply[offset], reply[offset + 1], reply[offset + 2], reply[offset + 3]);
}

// Sends one search and collects the replies by their source address.
std::map<std::string, Bytes> search(const std::string& from, const std::string& to) {
    test::UdpClient client(from, to, 8000);
    client.send(kSearch);
    std::map<std::string, Bytes> replies;
    while (auto reply = client.receive(300)) {
        replies[formatIpv4(addressAt(*reply, ModuleSearch::kAddressOffset))] = *reply;
    }
    return replies;
}

TEST(SimSearch, ModulesOfTheSubnetAnswerTheBroadcastWithMacAddressAndGateway) {
    const std::string subnet = qel::test::loopbackSubnet();
    const std::string other = qel::test::loopbackSubnet();
    UnitSimulator sim;
    ASSERT_GE(sim.addNetworkUnit(4, qel::test::loopbackHost(subnet, 2), "A"), 0) << sim.lastError();
    ASSERT_GE(sim.addNetworkUnit(3, qel::test::loopbackHost(subnet, 3), "B"), 0) << sim.lastError();
    ASSERT_GE(sim.addNetworkUnit(2, qel::test::loopbackHost(other, 2), "C"), 0) << sim.lastError();
    ASSERT_TRUE(sim.start());

    const auto replies = search(qel::test::loopbackHost(subnet, 1), subnet + ".255");
    ASSERT_EQ(replies.size(), 2u);
    for (int host : {2, 3}) {
        const std::string ip = qel::test::loopbackHost(subnet, host);
        ASSERT_TRUE(replies.count(ip)) << ip;
        const Bytes& r = replies.at(ip);
        ASSERT_GE(r.size(), 30u);
        EXPECT_EQ(formatIpv4(addressAt(r, ModuleSearch::kGatewayOffset)),
                  qel::test::loopbackHost(subnet, 1));
    }
    const Bytes& a = replies.at(qel::test::loopbackHost(subnet, 2));
    const Bytes& b = replies.at(qel::test::loopbackHost(subnet, 3));
    EXPECT_NE(Bytes(a.begin() + 12, a.begin() + 18), Bytes(b.begin() + 12, b.begin() + 18));
    EXPECT_EQ(search(qel::test::loopbackHost(subnet, 1), subnet + ".255"), replies);  // stable
    // Asked directly, a module answers alone; other datagrams get no answer.
    EXPECT_EQ(search(qel::test::loopbackHost(other, 1), qel::test::loopbackHost(other, 2)).size(),
              1u);
    test::UdpClient client(qel::test::loopbackHost(subnet, 1), subnet + ".255", 8000);
    client.send(Bytes{0x01, 0x00, 0x00, 0x0E});
    EXPECT_FALSE(client.receive(200));
}

class SimSerial : public ::testing::Test {
protected:
    void SetUp() override {
        unit = sim.addSerialUnit(2, "Rack");
        ASSERT_GE(unit, 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        port.emplace(sim.slavePath(unit));
        ASSERT_TRUE(port->isOpen()) << sim.slavePath(unit);
    }

    UnitSimulator sim;
    int unit = -1;
    std::optional<test::SerialClient> port;
};

TEST_F(SimSerial, AnswersOverThePtyAndSurvivesAReopen) {
    EXPECT_EQ(sim.address(unit), sim.slavePath(unit));
    port->write(frameOf(0, op::kRead, 0, 0x03));
    const auto reply = port->readFrame();
    ASSERT_TRUE(reply);
    EXPECT_EQ(payloadOf(*reply), (Bytes{2, 0}));
    port.reset();
    port.emplace(sim.slavePath(unit));
    ASSERT_TRUE(port->isOpen());
    port->write(frameOf(2, op::kWrite, 3, 0x04, {0xE8, 0x03}));
    ASSERT_TRUE(port->readFrame());
    EXPECT_EQ(sim.state(unit).params.out[2].delay, 1000);
}

TEST_F(SimSerial, ResynchronisesAfterJunkAndCountsBadChecksums) {
    Bytes stream = {0x00, 0x13, 0xFF, 0x42, 0xFF, 0xFF, 0x00, 0x00, 0x7F};  // claims 127 bytes
    const Bytes good = frameOf(0, op::kRead, 0, 0x03);
    stream.insert(stream.end(), good.begin(), good.end());
    port->write(stream);
    const auto reply = port->readFrame();
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[frame::kCode], 0x03);

    Bytes bad = frameOf(0, op::kRead, 0, 0x04);
    bad[frame::kChecksumHigh] ^= 0x10;
    port->write(bad);
    port->write(frameOf(0, op::kRead, 0, 0x06));
    const auto next = port->readFrame();
    ASSERT_TRUE(next);
    EXPECT_EQ((*next)[frame::kCode], 0x06);
    EXPECT_EQ(sim.badChecksums(unit), 1u);
}

TEST_F(SimSerial, BytewiseRepliesArriveInPieces) {
    Faults f;
    f.bytewiseSerial = true;
    sim.setFaults(unit, f);
    port->write(frameOf(0, op::kRead, 0, 0x12, {0, 0}));
    size_t reads = 0;
    const auto reply = port->readFrame(2000, &reads);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->size(), 40u);
    EXPECT_TRUE(frameChecksumValid(reply->data(), reply->size()));
    EXPECT_GT(reads, 1u);
}

TEST_F(SimSerial, ClosingThePtyHangsUpTheProgramsPort) {
    EXPECT_FALSE(port->hungUp(50));
    sim.closeSerial(unit);
    EXPECT_EQ(sim.slavePath(unit), "");
    EXPECT_TRUE(port->hungUp());
    port->write(frameOf(0, op::kRead, 0, 0x03));
    EXPECT_FALSE(port->readFrame(200));
}

TEST_F(SimSerial, AClosedUnitComesBackOnANewPtyWithItsState) {
    port->write(frameOf(2, op::kWrite, 1, 0x01, {77, 0}));
    ASSERT_TRUE(port->readFrame());
    sim.closeSerial(unit);
    EXPECT_TRUE(port->hungUp());
    ASSERT_TRUE(sim.reopenSerial(unit)) << sim.lastError();
    ASSERT_NE(sim.slavePath(unit), "");
    port.reset();
    port.emplace(sim.slavePath(unit));
    ASSERT_TRUE(port->isOpen());
    port->write(frameOf(3, op::kRead, 0, 0x01));
    const auto reply = port->readFrame();
    ASSERT_TRUE(reply);
    EXPECT_EQ(payloadOf(*reply).at(4), 77);  // output 1 after the four inputs
    EXPECT_TRUE(sim.reopenSerial(unit));      // already open: nothing to do
}

TEST_F(SimSerial, ASilencedUnitAnswersNothingUntilUnsilenced) {
    sim.setSilenced(unit, true);
    port->write(frameOf(0, op::kRead, 0, 0x03));
    EXPECT_FALSE(port->readFrame(300));
    sim.setSilenced(unit, false);
    port->write(frameOf(0, op::kRead, 0, 0x03));
    const auto reply = port->readFrame();
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[frame::kCode], 0x03);
}

TEST(SimUnits, ASilencedNetworkUnitIgnoresCommandsAndSearches) {
    const std::string subnet = qel::test::loopbackSubnet();
    const std::string ip = qel::test::loopbackHost(subnet, 2);
    UnitSimulator sim;
    const int unit = sim.addNetworkUnit(3, ip, "Quiet");
    ASSERT_GE(unit, 0) << sim.lastError();
    ASSERT_TRUE(sim.start());
    test::UdpClient client(qel::test::loopbackHost(subnet, 1), ip);
    sim.setSilenced(unit, true);
    EXPECT_FALSE(client.exchange(frameOf(0, op::kRead, 0, 0x03), 300));
    EXPECT_TRUE(search(qel::test::loopbackHost(subnet, 1), subnet + ".255").empty());
    EXPECT_TRUE(sim.requests(unit).empty());
    sim.setSilenced(unit, false);
    EXPECT_EQ(client.ask(0, op::kRead, 0, 0x03), (Bytes{3, 0}));
    EXPECT_EQ(search(qel::test::loopbackHost(subnet, 1), subnet + ".255").size(), 1u);
}

TEST(SimUnits, BadAddressesAndTakenPortsAreRefusedAndLateUnitsServed) {
    const std::string subnet = qel::test::loopbackSubnet();
    const std::string ip = qel::test::loopbackHost(subnet, 2);
    UnitSimulator first, second;
    EXPECT_EQ(first.addNetworkUnit(4, "127.0.0.300", "X"), -1);
    EXPECT_NE(first.lastError().find("127.0.0.300"), std::string::npos);
    ASSERT_TRUE(first.start());
    const int late = first.addNetworkUnit(4, ip, "Late");
    ASSERT_GE(late, 0) << first.lastError();
    EXPECT_EQ(second.addNetworkUnit(4, ip, "Twin"), -1);
    EXPECT_NE(second.lastError().find("bind"), std::string::npos);
    test::UdpClient client(qel::test::loopbackHost(subnet, 1), ip);
    EXPECT_EQ(client.ask(0, op::kRead, 0, 0x03), (Bytes{4, 0}));
    EXPECT_EQ(first.requests(late).size(), 1u);
}

TEST(SimUnits, StatesSurviveInAFileForUnitsOfTheSameKeyAndModel) {
    const std::string subnet = qel::test::loopbackSubnet();
    const std::string file = ::testing::TempDir() + "simstate-" + std::to_string(::getpid());
    UnitState changed;
    {
        UnitSimulator sim;
        const int unit = sim.addNetworkUnit(4, qel::test::loopbackHost(subnet, 2), "Keep");
        sim.addSerialUnit(2, "Serial");
        changed = sim.state(unit);
        changed.params.out[3].delay = 4321;
        changed.engineering = true;
        changed.modes[7].used = false;
        sim.setState(unit, changed);
        ASSERT_TRUE(sim.saveStates(file)) << sim.lastError();
    }
    UnitSimulator sim;
    const int same = sim.addNetworkUnit(4, qel::test::loopbackHost(subnet, 2), "Other");
    const int serial = sim.addSerialUnit(3, "Serial");  // another model: not taken
    ASSERT_TRUE(sim.loadStates(file)) << sim.lastError();
    EXPECT_EQ(sim.state(same), changed);
    EXPECT_EQ(sim.state(serial), defaultUnitState(3, "Serial"));

    std::FILE* f = std::fopen(file.c_str(), "wb");
    std::fputs("not a state file", f);
    std::fclose(f);
    EXPECT_FALSE(sim.loadStates(file));
    EXPECT_EQ(sim.state(same), changed);
    std::remove(file.c_str());
}

}  // namespace
}  // namespace qel::sim
