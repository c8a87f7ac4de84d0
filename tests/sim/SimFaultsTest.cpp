// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Injected faults, seen from the program's side of the socket.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "SimClient.h"
#include "UnitSimulator.h"
#include "support/Loopback.h"

namespace qel::sim {
namespace {

using test::frameOf;
using test::kTag;
using test::payloadOf;

class SimFaults : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string subnet = qel::test::loopbackSubnet();
        unit = sim.addNetworkUnit(4, qel::test::loopbackHost(subnet, 2), "Faulty");
        ASSERT_GE(unit, 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        client.emplace(qel::test::loopbackHost(subnet, 1), sim.address(unit));
    }

    std::optional<Bytes> probe(uint8_t code, int timeoutMs = 1000) {
        return client->exchange(frameOf(0, op::kRead, 0, code), timeoutMs);
    }
    // Busy-state answers to the discovery probes 02 03 04 02.
    std::pair<int, int> busyProbes() {
        const auto first = probe(0x02);
        probe(0x03);
        probe(0x04);
        const auto last = probe(0x02);
        return {first ? (*first)[10] : -1, last ? (*last)[10] : -1};
    }
    // Which of n quick requests the unit ignored.
    std::vector<bool> dropPattern(size_t n) {
        sim.clearRequests(unit);
        for (size_t i = 0; i < n; ++i) client->send(frameOf(0, op::kRead, 0, 0x03));
        EXPECT_TRUE(sim.waitForRequests(unit, n, 5000));
        std::vector<bool> dropped;
        for (const auto& r : sim.requests(unit)) dropped.push_back(r.dropped);
        return dropped;
    }

    UnitSimulator sim;
    int unit = -1;
    std::optional<test::UdpClient> client;
};

TEST_F(SimFaults, SilentCodesAreLoggedButNotAnswered) {
    sim.setFaults(unit, Faults{.silentCodes = {0x03, 0x07}});
    EXPECT_FALSE(probe(0x03, 300));
    EXPECT_FALSE(probe(0x07, 300));
    EXPECT_TRUE(probe(0x04));
    ASSERT_EQ(sim.requests(unit).size(), 3u);
    EXPECT_EQ(sim.requests(unit)[0].frame, frameOf(0, op::kRead, 0, 0x03));
}

TEST_F(SimFaults, WrongTagAndWrongEchoStillCarryAValidChecksum) {
    sim.setFaults(unit, Faults{.wrongTag = true});
    auto reply = probe(0x03);
    ASSERT_TRUE(reply);
    EXPECT_NE(frameTag(reply->data()), kTag);
    EXPECT_EQ((*reply)[frame::kCode], 0x03);
    EXPECT_TRUE(frameChecksumValid(reply->data(), reply->size()));
    sim.setFaults(unit, Faults{.wrongEcho = true});
    reply = probe(0x03);
    ASSERT_TRUE(reply);
    EXPECT_EQ(frameTag(reply->data()), kTag);
    EXPECT_NE((*reply)[frame::kCode], 0x03);
    EXPECT_TRUE(frameChecksumValid(reply->data(), reply->size()));
}

TEST_F(SimFaults, BusyAnswersFollowTheProbeOrder) {
    EXPECT_EQ(busyProbes(), std::make_pair(0, 0));
    sim.setFaults(unit, Faults{.busy = Faults::Busy::First});
    EXPECT_EQ(busyProbes(), std::make_pair(1, 0));
    sim.setFaults(unit, Faults{.busy = Faults::Busy::Last});
    EXPECT_EQ(busyProbes(), std::make_pair(0, 1));
    sim.setFaults(unit, Faults{.busy = Faults::Busy::Always});
    EXPECT_EQ(busyProbes(), std::make_pair(1, 1));
}

TEST_F(SimFaults, LateReplyArrivesAheadOfTheNextRepliesAndDuplicatesComeTwice) {
    sim.setFaults(unit, Faults{.lateReplies = true});
    EXPECT_FALSE(probe(0x03, 300));
    auto late = probe(0x04);
    auto current = client->receive();
    ASSERT_TRUE(late && current);
    EXPECT_EQ((*late)[frame::kCode], 0x03);
    EXPECT_EQ((*current)[frame::kCode], 0x04);

    sim.setFaults(unit, Faults{.duplicateReplies = true});
    const auto once = probe(0x06);
    const auto twice = client->receive();
    ASSERT_TRUE(once && twice);
    EXPECT_EQ(*once, *twice);
    EXPECT_FALSE(client->receive(200));
}

TEST_F(SimFaults, ALaggingDuplicateComesAfterTheNextRequestsReplyIsDue) {
    sim.setFaults(unit, Faults{.duplicateReplies = true, .duplicateLagMs = 150});
    const auto first = probe(0x06);
    ASSERT_TRUE(first);
    const uint32_t firstAt = tickMs();
    client->send(frameOf(0, op::kRead, 0, 0x03));  // goes in while the copy is held back
    const auto copy = client->receive();
    ASSERT_TRUE(copy);
    EXPECT_GE(tickMs() - firstAt, 100u);
    EXPECT_EQ(*copy, *first);  // the copy of the old reply comes first, ...
    const auto next = client->receive();
    ASSERT_TRUE(next);
    EXPECT_EQ((*next)[frame::kCode], 0x03);  // ... then the fresh reply
}

TEST_F(SimFaults, DelayedRepliesWaitAtLeastTheDelay) {
    sim.setFaults(unit, Faults{.replyDelayMs = 250, .replyJitterMs = 50});
    client->send(frameOf(0, op::kRead, 0, 0x03));
    const auto reply = client->receive(3000);
    const uint32_t arrived = tickMs();
    ASSERT_TRUE(reply);
    ASSERT_EQ(sim.requests(unit).size(), 1u);
    EXPECT_GE(arrived - sim.requests(unit)[0].tickMs, 250u);
}

TEST_F(SimFaults, SeededDropsRepeatForTheSameSeed) {
    sim.setFaults(unit, Faults{.dropRequests = 0.5, .seed = 7});
    const auto pattern = dropPattern(40);
    const auto drops = std::count(pattern.begin(), pattern.end(), true);
    EXPECT_GT(drops, 5);
    EXPECT_LT(drops, 35);
    size_t replies = 0;
    while (client->receive(200)) ++replies;
    EXPECT_EQ(replies, pattern.size() - static_cast<size_t>(drops));

    sim.setFaults(unit, Faults{.dropRequests = 0.5, .seed = 7});
    EXPECT_EQ(dropPattern(40), pattern);
    sim.setFaults(unit, Faults{.dropRequests = 0.5, .seed = 8});
    EXPECT_NE(dropPattern(40), pattern);
}

TEST_F(SimFaults, DroppedRepliesStillChangeTheUnit) {
    sim.setFaults(unit, Faults{.dropReplies = 1.0});
    EXPECT_FALSE(client->exchange(frameOf(2, op::kWrite, 4, 0x01, {42, 0}), 300));
    EXPECT_EQ(sim.state(unit).params.out[3].gain, 42);
    EXPECT_FALSE(sim.requests(unit)[0].dropped);
    EXPECT_TRUE(sim.requests(unit)[0].replyDropped);
    sim.setFaults(unit, {});
    EXPECT_TRUE(client->exchange(frameOf(2, op::kWrite, 4, 0x01, {43, 0})));
    EXPECT_FALSE(sim.requests(unit)[1].replyDropped);
}

}  // namespace
}  // namespace qel::sim
