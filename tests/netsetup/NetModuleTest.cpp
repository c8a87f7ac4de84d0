// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "UnitSimulator.h"
#include "netsetup/NetModuleClient.h"
#include "netsetup/NetModuleProtocol.h"
#include "netsetup/NetModuleSearch.h"
#include "platform/Clock.h"
#include "platform/UdpSocket.h"
#include "support/Loopback.h"

namespace qel {
namespace {

using Bytes = std::vector<uint8_t>;
using P = NetModuleProtocol;

Ipv4 ip(const std::string& text) {
    return *parseIpv4(text);
}

// A search reply as a module sends it: MAC at 12, address at 18, mask at 22, gateway at 26.
Bytes sighting(const Mac& mac, const std::string& address, const std::string& gateway,
               size_t size = 34) {
    Bytes r(34, 0);
    std::memcpy(&r[12], mac.data(), 6);
    for (int i = 0; i < 4; ++i) {
        r[18 + i] = ipv4Octet(ip(address), i);
        r[26 + i] = ipv4Octet(ip(gateway), i);
    }
    r.resize(size);
    return r;
}

TEST(NetModuleProtocolTest, SearchGoesFromItsPortToTheBroadcastAddressAndRepliesBecomeRows) {
    const ModuleSearchSettings defaults;
    EXPECT_EQ(defaults.localPort, 9402);
    EXPECT_EQ(defaults.modulePort, 8000);
    EXPECT_EQ(defaults.windowMs, 2000u);
    const std::string subnet = test::loopbackSubnet();
    UdpSocket module;
    ASSERT_TRUE(module.open(ip(subnet + ".255"), 0, true)) << module.lastError();
    UdpSocket replies;  // the modules answer from their own addresses
    ASSERT_TRUE(replies.open(ip(subnet + ".20"), 0));
    UdpSocket probe;  // finds a free local port for the search
    ASSERT_TRUE(probe.open(0, 0));
    ModuleSearchSettings s;
    s.gateway = {ipv4Octet(ip(subnet + ".7"), 0), ipv4Octet(ip(subnet + ".7"), 1),
                 ipv4Octet(ip(subnet + ".7"), 2), 7};
    s.localPort = probe.localPort();
    probe.close();
    s.modulePort = module.localPort();
    s.windowMs = 600;
    const Mac mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    std::thread answer([&] {
        uint8_t request[64];
        Ipv4 from = 0;
        uint16_t fromPort = 0;
        if (!module.waitReadable(2000)) return;
        const long n = module.receiveFrom(request, sizeof request, &from, &fromPort);
        if (n != 12 || fromPort != s.localPort ||
            std::memcmp(request, P::searchRequest().data(), 12) != 0)
            return;
        for (size_t size : {29, 30, 34}) {
            const Bytes r = sighting(mac, subnet + ".20", subnet + ".1", size);
            replies.sendTo(from, fromPort, r.data(), r.size());
        }
    });
    NetModuleTable table;
    table.add({});  // refilled from row 0
    std::vector<int> rows;
    ASSERT_TRUE(NetModuleSearch::run(s, table, [&](int row, const NetModuleEntry&) {
        rows.push_back(row);
    }));
    answer.join();
    EXPECT_EQ(P::searchRequest(),
              (Bytes{0x01, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF}));
    EXPECT_EQ(rows, (std::vector<int>{-1, 0, 1}));  // emptied, then the two long replies
    ASSERT_EQ(table.count(), 2);
    const auto e = *table.entry(0);
    EXPECT_EQ(e.ipText, subnet + ".20");
    EXPECT_EQ(e.gatewayText, subnet + ".1");
    EXPECT_EQ(e.macText, "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(P::macWithColons(e.mac), "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(P::parseMac("00:1a:2B:3c:4D:5E"), mac);
    EXPECT_EQ(P::parseMac("00-1A-2B-3C-4D-5E"), mac);
    EXPECT_FALSE(P::parseMac("00:1A:2B:3C:4D"));
    EXPECT_FALSE(P::parseMac("00:1A:2B:3C:4D:5G"));
    const Bytes more = sighting(mac, "10.0.0.1", "10.0.0.2");
    for (int i = 0; i < 300; ++i) NetModuleSearch::takeReply(table, more.data(), more.size());
    EXPECT_EQ(table.count(), NetModuleTable::kCapacity);
}

TEST(NetModuleProtocolTest, LoginAndReadMessagesAndShortRepliesAreNeverReadPastTheirEnd) {
    EXPECT_EQ(P::hello(), (Bytes{1, 0, 0, 0x0E, 0, 0, 0, 0, 0, 5, 0xE6, 0x2A, 0x82, 0}));
    const Bytes login = P::login();
    ASSERT_EQ(login.size(), 27u);
    EXPECT_EQ(Bytes(login.begin(), login.begin() + 16),
              (Bytes{1, 0, 0, 0x1B, 0, 0, 0, 0, 0, 7, 0xE6, 0x2A, 0x82, 0, 5, 6}));
    EXPECT_EQ(std::string(login.begin() + 16, login.end()), "adminplovek");
    const Bytes reply = {1, 0, 0, 0x10, 0xA1, 0xB2, 0xC3, 0xD4, 9, 9};
    EXPECT_EQ(P::readRequest(reply.data(), reply.size()),
              (Bytes{1, 0, 0, 0x0F, 0xA1, 0xB2, 0xC3, 0xD4, 1, 5, 0, 0, 4, 0}));
    EXPECT_EQ(P::readRequest(reply.data(), 3),
              (Bytes{1, 0, 0, 0xFF, 0, 0, 0, 0, 1, 5, 0, 0, 4, 0}));
    // A reply of 557 bytes holds PC address 1 but not all of PC address 2.
    Bytes block(557, 0);
    block[550] = 10;
    const auto c = P::readConfig(block.data(), block.size());
    EXPECT_EQ(c.pc1, ipv4FromOctets(10, 0, 0, 0));
    EXPECT_FALSE(c.pc2);
    EXPECT_FALSE(c.complete());
    EXPECT_FALSE(P::readConfig(block.data(), 20).ip);
    EXPECT_FALSE(P::readSighting(block.data(), 29));
}

TEST(NetModuleProtocolTest, WriteMessageIsTheTemplateWithTheReplacedFields) {
    ModuleConfig kept;
    kept.head = {0x01, 0x00, 0x04, 0x0E, 0x11, 0x22, 0x33, 0x44};
    kept.id = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    const Bytes m = P::writeMessage(kept, ip("10.0.0.1"), ip("10.0.0.254"), ip("10.0.0.100"),
                                    ip("10.0.0.101"));
    // Expected, from the layout: every byte not set here is 0.
    Bytes x(1038, 0);
    auto set = [&x](size_t at, Bytes bytes) { std::copy(bytes.begin(), bytes.end(), &x[at]); };
    set(0, {0x01, 0x00, 0x04, 0x0E, 0x11, 0x22, 0x33, 0x44, 0x01, 0x07, 0x00, 0x00, 0x04, 0x00});
    set(15, {0x01});
    set(19, {0x01});
    set(22, {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 10, 0, 0, 1, 255, 255, 255, 0, 10, 0, 0, 254});
    set(45, {'a', 'd', 'm', 'i', 'n'});
    set(61, {'p', 'l', 'o', 'v', 'e', 'k'});
    set(77, {'N', 'e', 't', 'U', 'A', 'R', 'T'});
    set(190, {0x09, 0x03});
    set(199, {0xFF, 0x05});
    set(301, {0x03, 0x00, 0x17, 0xD2, 0xC8, 0xB5, 0x66, 0x00, 0x14, 0x17, 0x70});
    set(314, {0x3C});
    set(322, {0x0A});
    set(325, {0x0A, 0x01});
    set(409, {0x01, 0x13, 0xF0, 'a', 'd', 'm', 'i', 'n'});
    set(428, {'p', 'l', 'o', 'v', 'e', 'k'});
    set(548, {0x26, 0x70, 10, 0, 0, 100, 0x25, 0xA8, 10, 0, 0, 101, 0x25, 0xA8});
    std::fill(x.begin() + 821, x.end(), 0xFF);
    ASSERT_EQ(m.size(), x.size());
    for (size_t i = 0; i < x.size(); ++i) EXPECT_EQ(m[i], x[i]) << "byte " << i;
}

TEST(NetModuleProtocolTest, RefusalRules) {
    for (const char* gateway : {"0.0.0.0", "10.0.0.1", "192.168.6.1"})
        EXPECT_TRUE(P::refused(ip("0.0.3.4"), ip(gateway))) << gateway;
    EXPECT_FALSE(P::refused(ip("10.0.0.1"), ip("10.0.0.254")));
    EXPECT_TRUE(P::refused(ip("10.5.0.1"), ip("0.1.2.3")));  // kept as found
    EXPECT_FALSE(P::refused(ip("10.6.0.1"), ip("0.1.2.3")));
    EXPECT_FALSE(P::refused(ip("10.5.0.1"), ip("1.1.2.3")));
    EXPECT_FALSE(P::refused(ip("0.1.0.1"), ip("10.0.0.1")));
}

// Against the simulator's modules; waits shortened so that a failing read takes a moment.
class NetModuleSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(sim.addNetworkUnit(4, subnet + ".2", "Main"), 0) << sim.lastError();
        sim::Faults mute;
        mute.moduleNoLogin = true;
        ASSERT_GE(sim.addNetworkUnit(2, subnet + ".3", "Mute", mute), 0);
        ASSERT_TRUE(sim.start());
        timing.helloWaitMs = timing.loginWaitMs = 150;
        timing.readWaitMs = 600;
        timing.writeGapMs = 20;
    }
    const std::string subnet = test::loopbackSubnet();
    sim::UnitSimulator sim;
    ModuleTiming timing;
};

TEST_F(NetModuleSimTest, HelloLoginAndReadGiveTheConfigurationBlock) {
    const auto r = NetModuleClient(ip(subnet + ".2"), port::kModule, timing).read();
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.config->size, 1038u);
    EXPECT_EQ(r.config->ip, ip(subnet + ".2"));
    EXPECT_EQ(r.config->gateway, ip(subnet + ".1"));
    EXPECT_EQ(r.config->pc1, ip("192.168.6.222"));
    EXPECT_EQ(r.config->pc2, ip("192.168.6.223"));
    const auto log = sim.module(0).log();
    EXPECT_EQ(log.hellos + log.logins + log.reads, 3);
}

TEST_F(NetModuleSimTest, AModuleThatIgnoresTheLoginIsAskedFourTimes) {
    const uint32_t start = tickMs();
    const auto r = NetModuleClient(ip(subnet + ".3"), port::kModule, timing).read();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.helloReplies, 1u);
    EXPECT_EQ(r.loginReplies, 0u);
    EXPECT_EQ(r.lastReplySize, 14u);  // the hello's reply
    EXPECT_GE(tickMs() - start, 4 * 150u);
    EXPECT_EQ(sim.module(1).log().logins, 4);
    EXPECT_EQ(sim.module(1).log().reads, 0);
}

TEST_F(NetModuleSimTest, AWriteMovesTheModuleAndTheNextSearchFindsItThere) {
    NetModuleClient client(ip(subnet + ".2"), port::kModule, timing);
    const auto r = client.read();
    ASSERT_TRUE(r.ok());
    const Bytes m = P::writeMessage(*r.config, ip(subnet + ".9"), ip(subnet + ".254"),
                                    ip(subnet + ".100"), ip(subnet + ".101"));
    ASSERT_TRUE(client.write(m));
    for (int i = 0; i < 100 && sim.module(0).log().writes == 0; ++i) sleepMs(10);
    const auto module = sim.module(0);
    EXPECT_EQ(module.log().writes, 1);  // the copies after the first find it gone
    EXPECT_EQ(module.log().lastWrite, m);
    EXPECT_EQ(module.pc2(), ip(subnet + ".101"));
    EXPECT_EQ(sim.address(0), subnet + ".9");
    ModuleSearchSettings s;
    s.gateway = {ipv4Octet(ip(subnet + ".1"), 0), ipv4Octet(ip(subnet + ".1"), 1),
                 ipv4Octet(ip(subnet + ".1"), 2), 1};
    s.localPort = 0;
    s.windowMs = 400;
    NetModuleTable table;
    ASSERT_TRUE(NetModuleSearch::run(s, table));
    ASSERT_EQ(table.count(), 2);
    std::vector<std::string> found = {table.entry(0)->ipText + " " + table.entry(0)->gatewayText,
                                      table.entry(1)->ipText + " " + table.entry(1)->gatewayText};
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{subnet + ".3 " + subnet + ".1",
                                               subnet + ".9 " + subnet + ".254"}));
    EXPECT_TRUE(NetModuleClient(ip(subnet + ".9"), port::kModule, timing).read().ok());
}

}  // namespace
}  // namespace qel
