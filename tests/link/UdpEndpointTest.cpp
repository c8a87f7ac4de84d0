// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "link/UdpEndpoint.h"
#include "support/Loopback.h"

namespace qel {
namespace {

class UdpEndpointTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(endpoint.open(0));
        subnet = test::loopbackSubnet();
    }
    UdpSocket peer(int host) {
        UdpSocket s;
        EXPECT_TRUE(s.open(*parseIpv4(test::loopbackHost(subnet, host)), 0));
        return s;
    }
    Ipv4 addr(int host) { return *parseIpv4(test::loopbackHost(subnet, host)); }
    void send(UdpSocket& s, std::vector<uint8_t> bytes) {
        ASSERT_EQ(s.sendTo(*parseIpv4("127.0.0.1"), endpoint.localPort(), bytes.data(),
                           bytes.size()),
                  static_cast<long>(bytes.size()));
    }
    void awaitParked(uint64_t count) {
        for (int i = 0; i < 2000 && endpoint.parkedCount() < count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(endpoint.parkedCount(), count);
    }
    UdpEndpoint endpoint;
    std::string subnet;
};

TEST_F(UdpEndpointTest, EachSourceTakesItsOwnDatagramsOldestFirst) {
    UdpSocket a = peer(2), b = peer(3);
    send(a, {1});
    send(b, {2});
    send(a, {3});
    awaitParked(3);
    uint8_t buf[128];
    EXPECT_TRUE(endpoint.waitFor(addr(3), 0));
    ASSERT_EQ(endpoint.receiveFor(addr(3), buf, sizeof buf), 1u);
    EXPECT_EQ(buf[0], 2);
    ASSERT_EQ(endpoint.receiveFor(addr(2), buf, sizeof buf), 1u);
    EXPECT_EQ(buf[0], 1);
    ASSERT_EQ(endpoint.receiveFor(addr(2), buf, sizeof buf), 1u);
    EXPECT_EQ(buf[0], 3);
    EXPECT_EQ(endpoint.receiveFor(addr(2), buf, sizeof buf), 0u);
    EXPECT_FALSE(endpoint.waitFor(addr(2), 5));
}

TEST_F(UdpEndpointTest, AFullRingIsOverwrittenFromTheOldestCell) {
    UdpSocket a = peer(2), b = peer(3);
    send(b, {0xB0});  // parked first: the oldest cell
    for (int i = 0; i < 300; ++i) {
        send(a, {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)});
        if (i % 50 == 49) awaitParked(static_cast<uint64_t>(i) + 2);
    }
    awaitParked(301);
    uint8_t buf[128];
    EXPECT_EQ(endpoint.receiveFor(addr(3), buf, sizeof buf), 0u);  // overwritten
    // 301 parked in 256 cells: the oldest left is datagram 301 - 256 = 45, i.e. i = 44.
    ASSERT_EQ(endpoint.receiveFor(addr(2), buf, sizeof buf), 2u);
    EXPECT_EQ(buf[0] | (buf[1] << 8), 44);
    int count = 1;
    while (endpoint.receiveFor(addr(2), buf, sizeof buf)) ++count;
    EXPECT_EQ(count, 256);
    EXPECT_EQ(buf[0] | (buf[1] << 8), 299);
}

TEST_F(UdpEndpointTest, OddSizedDatagramsAreCutToACell) {
    UdpSocket a = peer(2);
    for (size_t size : {size_t{0}, size_t{1}, size_t{9}, size_t{129}, size_t{2000}})
        send(a, std::vector<uint8_t>(size, 0x5A));
    awaitParked(4);  // the empty datagram carries nothing and is not parked
    uint8_t buf[200];
    std::vector<size_t> sizes;
    for (size_t n; (n = endpoint.receiveFor(addr(2), buf, sizeof buf));) sizes.push_back(n);
    EXPECT_EQ(sizes, (std::vector<size_t>{1, 9, 128, 128}));
}

TEST_F(UdpEndpointTest, SecondEndpointOnABusyPortFails) {
    UdpEndpoint second;
    EXPECT_FALSE(second.open(endpoint.localPort()));
    EXPECT_NE(second.lastError().find("Address already in use"), std::string::npos);
}

}  // namespace
}  // namespace qel
