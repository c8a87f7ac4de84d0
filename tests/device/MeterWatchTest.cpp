// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "UnitSimulator.h"
#include "device/UnitSession.h"
#include "link/Equipment.h"
#include "link/Protocol.h"
#include "link/UdpEndpoint.h"
#include "support/Loopback.h"

namespace qel {
namespace {

using Use = UnitSession::MeterUse;

// A session on a simulated QD408 over loopback; the simulator counts the meter reads.
class MeterWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string ip = test::loopbackHost(test::loopbackSubnet(), 2);
        ASSERT_GE(sim.addNetworkUnit(4, ip, "Meters"), 0) << sim.lastError();
        ASSERT_TRUE(sim.start()) << sim.lastError();
        ASSERT_TRUE(endpoint.open(0));
        LinkSettings link;
        link.endpoint = &endpoint;
        unit = std::make_shared<Equipment>();
        unit->setAddress(*parseIpv4(ip));
        unit->setFlags(linkflag::kUdp);
        unit->setModelCode(4);
        ASSERT_TRUE(unit->startLink(link));
        SessionOptions options;
        options.meterTiming.startMs = 0;
        session = std::make_unique<UnitSession>(unit, options);
    }
    void TearDown() override {
        session.reset();
        if (unit) unit->stopLink();
    }

    // Meter reads that reach the unit in ms, after a moment for the poller to settle.
    int readsOver(int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        sim.clearRequests(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        int n = 0;
        constexpr uint8_t kUnitRead = block::kUnit << 4 | op::kRead;
        for (const auto& r : sim.requests(0))
            n += r.frame[frame::kTarget] == kUnitRead && r.frame[frame::kCode] == unitcode::kMeters;
        return n;
    }

    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
    std::shared_ptr<Equipment> unit;
    std::unique_ptr<UnitSession> session;
};

TEST_F(MeterWatchTest, OneReadPerPeriodForAllWatchers) {
    // Nobody watches: once a second.
    const int none = readsOver(2000);
    EXPECT_GE(none, 1);
    EXPECT_LE(none, 3);

    // An editor shows them: a reading per five display passes, about 24 a second.
    auto editor = session->watchMeters(25, Use::DisplayPasses);
    const int one = readsOver(2000);
    EXPECT_GE(one, 36);
    EXPECT_LE(one, 52);

    // Two pages join: still one read per period.
    auto page1 = session->watchMeters(25);
    auto page2 = session->watchMeters(5);
    EXPECT_EQ(session->meterWatchers(), 3);
    const int three = readsOver(2000);
    EXPECT_LE(three, one + 4);
    EXPECT_GE(three, one - 8);

    // The editor goes: the pages' fastest rate, each reading held and published.
    editor.reset();
    page1 = session->watchMeters(10);
    const int pages = readsOver(2000);
    EXPECT_GE(pages, 16);
    EXPECT_LE(pages, 22);
    const auto shown = session->meters().display();
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](uint8_t b) { return b > 0; }));

    // All gone: back to once a second.
    page1.reset();
    page2.reset();
    EXPECT_LE(readsOver(2000), 3);
}

}  // namespace
}  // namespace qel
