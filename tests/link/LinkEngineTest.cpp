// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "UnitSimulator.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "platform/Clock.h"
#include "support/Loopback.h"

namespace qel {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

long elapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<milliseconds>(Clock::now() - since).count());
}

// One simulated QD408 on its own loopback address, connected through a private endpoint.
class LinkEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        setInstanceTag(0x1357);
        ASSERT_TRUE(endpoint.open(0));
        unitIp = test::loopbackHost(test::loopbackSubnet(), 2);
        unit = sim.addNetworkUnit(4, unitIp, "Main");
        ASSERT_GE(unit, 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        eq.setAddress(*parseIpv4(unitIp));
        eq.setFlags(linkflag::kUdp);
        LinkSettings s;
        s.endpoint = &endpoint;
        ASSERT_TRUE(eq.startLink(s));
    }
    void TearDown() override { eq.stopLink(); }

    Ticket read(uint8_t code, uint8_t* dest, size_t len, int tries, uint32_t timeoutMs) {
        const uint8_t zero[2] = {0, 0};
        return eq.enqueue(op::kRead, block::kUnit, 0, code, zero, 2, dest, len, tries, timeoutMs);
    }
    Ticket write(uint8_t blk, uint8_t channel, uint8_t code, std::vector<uint8_t> payload) {
        return eq.enqueue(op::kWrite, blk, channel, code, payload.data(), payload.size(), nullptr,
                          0, 4, 400);
    }
    void setFaults(const sim::Faults& f) { sim.setFaults(unit, f); }
    std::vector<uint32_t> sendTimes(uint8_t code) {
        std::vector<uint32_t> t;
        for (const auto& r : sim.requests(unit))
            if (r.frame.size() > 9 && r.frame[9] == code) t.push_back(r.tickMs);
        return t;
    }

    UdpEndpoint endpoint;
    sim::UnitSimulator sim;
    int unit = -1;
    std::string unitIp;
    Equipment eq;
};

TEST_F(LinkEngineTest, ReadsAndWritesReachTheUnit) {
    uint8_t model = 0;
    EXPECT_TRUE(eq.waitFor(read(0x03, &model, 1, 2, 200)));
    EXPECT_EQ(model, 4);
    EXPECT_TRUE(eq.waitFor(write(block::kOutput, 2, 0x01, {0x64, 0})));
    EXPECT_TRUE(eq.waitFor(write(block::kOutput, 3, 0x04, {0xE8, 0x03})));
    EXPECT_EQ(sim.state(unit).params.out[1].gain, 0x64);
    EXPECT_EQ(sim.state(unit).params.out[2].delay, 1000);
    for (const auto& r : sim.requests(unit)) EXPECT_TRUE(r.checksumOk);
}

TEST_F(LinkEngineTest, SilentUnitGetsEveryTryThenTheWaitFails) {
    setFaults({.silentCodes = {0x03}});
    const auto start = Clock::now();
    const Ticket t = read(0x03, nullptr, 0, 2, 200);
    EXPECT_EQ(eq.waitOutcome(t), Outcome::NoReply);
    EXPECT_GE(elapsedMs(start), 395);
    EXPECT_LT(elapsedMs(start), 1500);
    const auto sends = sendTimes(0x03);
    ASSERT_EQ(sends.size(), 2u);
    // Times as the simulator's thread read them: a first read held up by a busy machine
    // shortens the gap by that much.
    EXPECT_GE(sends[1] - sends[0], 180u);
    EXPECT_LT(sends[1] - sends[0], 400u);
}

TEST_F(LinkEngineTest, WaitGivesUpAt3000msWhileTheSenderGoesOn) {
    setFaults({.silentCodes = {0x03}});
    const auto start = Clock::now();
    const Ticket t = read(0x03, nullptr, 0, 4, 1000);
    EXPECT_EQ(eq.waitOutcome(t), Outcome::TimedOut);
    EXPECT_GE(elapsedMs(start), 2995);
    EXPECT_LT(elapsedMs(start), 3800);
    // The fourth try still goes out, and the command then ends without a reply.
    EXPECT_EQ(eq.waitOutcome(t, 2500), Outcome::NoReply);
    EXPECT_EQ(sendTimes(0x03).size(), 4u);
}

TEST_F(LinkEngineTest, MismatchEndsTheTriesAndFailsTheWait) {
    setFaults({.wrongEcho = true});
    const Ticket t = read(0x03, nullptr, 0, 4, 400);
    EXPECT_EQ(eq.waitOutcome(t), Outcome::Mismatch);
    EXPECT_EQ(sendTimes(0x03).size(), 1u);
}

TEST_F(LinkEngineTest, RepliesWithAnotherTagAreIgnored) {
    setFaults({.wrongTag = true});
    const Ticket t = read(0x03, nullptr, 0, 2, 150);
    EXPECT_EQ(eq.waitOutcome(t), Outcome::NoReply);
    EXPECT_EQ(sendTimes(0x03).size(), 2u);
}

TEST_F(LinkEngineTest, LateReplyIsMatchedAgainstTheNextCommand) {
    setFaults({.replyDelayMs = 150});
    uint8_t model = 0;
    // The first read gives up after 100 ms; its reply lands while the second is in flight.
    EXPECT_EQ(eq.waitOutcome(read(0x03, &model, 1, 1, 100)), Outcome::NoReply);
    EXPECT_EQ(eq.waitOutcome(read(0x03, &model, 1, 1, 1000)), Outcome::Accepted);
    EXPECT_EQ(model, 4);
    std::this_thread::sleep_for(milliseconds(300));  // the second read's own reply passes by
    EXPECT_EQ(eq.waitOutcome(read(0x03, nullptr, 0, 1, 100)), Outcome::NoReply);
    uint8_t name[20] = {};
    EXPECT_EQ(eq.waitOutcome(read(0x04, name, 20, 1, 1000)), Outcome::Mismatch);
}

TEST_F(LinkEngineTest, AReplyAfterTheWaitGaveUpNeverReachesItsBuffer) {
    setFaults({.replyDelayMs = 300});
    std::vector<uint8_t> canary(20, 0xCC);
    const Ticket t = read(0x04, canary.data(), canary.size(), 1, 1000);
    EXPECT_EQ(eq.waitOutcome(t, 100), Outcome::TimedOut);
    // The reply still comes and ends the command, but the buffer is no longer written.
    EXPECT_EQ(eq.waitOutcome(t, 2000), Outcome::Accepted);
    EXPECT_EQ(canary, std::vector<uint8_t>(20, 0xCC));
}

TEST_F(LinkEngineTest, SeveralProducersEnqueueWhileTheSenderRuns) {
    std::vector<std::thread> producers;
    std::atomic<int> accepted{0};
    for (int p = 0; p < 4; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < 40; ++i) {
                const auto channel = static_cast<uint8_t>(1 + p * 2 + (i % 2));
                const std::vector<uint8_t> v = {static_cast<uint8_t>(i), 0};
                if (eq.waitFor(eq.enqueue(op::kWrite, block::kOutput, channel, 0x01, v.data(), 2,
                                          nullptr, 0, 4, 400)))
                    accepted.fetch_add(1);
            }
        });
    }
    for (auto& t : producers) t.join();
    EXPECT_EQ(accepted.load(), 160);
    const auto st = sim.state(unit);
    for (int ch = 0; ch < 8; ++ch) EXPECT_EQ(st.params.out[ch].gain, 38 + ch % 2) << ch;
}

TEST_F(LinkEngineTest, JunkFromTheUnitAddressNeverCorruptsAReply) {
    UdpSocket rogue;
    ASSERT_TRUE(rogue.open(*parseIpv4(unitIp), 0));  // same source address, other port
    std::atomic<bool> done{false};
    std::thread junk([&] {
        std::vector<std::vector<uint8_t>> shapes = {{},
                                                    {0xFF},
                                                    std::vector<uint8_t>(9, 0xFF),
                                                    std::vector<uint8_t>(129, 0x0B),
                                                    std::vector<uint8_t>(2000, 0x31)};
        std::vector<uint8_t> silly = {0xFF, 0xFF, 0, 0, 0xFF, 0x01, 0, 0, 0, 3, 4, 0};
        shapes.push_back(silly);
        silly[4] = 3;
        shapes.push_back(silly);
        for (size_t i = 0; !done.load(); ++i) {
            const auto& s = shapes[i % shapes.size()];
            rogue.sendTo(*parseIpv4("127.0.0.1"), endpoint.localPort(), s.data(), s.size());
            std::this_thread::sleep_for(milliseconds(2));
        }
    });
    int good = 0;
    for (int i = 0; i < 50; ++i) {
        uint8_t model[4] = {0, 0xAA, 0xAA, 0xAA};
        if (eq.waitFor(read(0x03, model, 4, 4, 200)) && model[0] == 4) ++good;
        EXPECT_TRUE(model[0] == 4 || model[0] == 0);
    }
    done = true;
    junk.join();
    // Junk may cost a command its tries, but what is accepted is always the unit's answer.
    EXPECT_GE(good, 10);
    EXPECT_TRUE(eq.waitFor(write(block::kOutput, 1, 0x01, {0x50, 0})));
    EXPECT_EQ(sim.state(unit).params.out[0].gain, 0x50);
}

TEST_F(LinkEngineTest, StoppingEndsWaitsAndRefusesNewCommands) {
    setFaults({.silentCodes = {0x03}});
    const Ticket t = read(0x03, nullptr, 0, 4, 1000);
    const auto start = Clock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(milliseconds(100));
        eq.requestStop();
    });
    EXPECT_EQ(eq.waitOutcome(t), Outcome::Abandoned);
    EXPECT_LT(elapsedMs(start), 1000);
    stopper.join();
    EXPECT_EQ(read(0x03, nullptr, 0, 1, 100), 0u);
    eq.stopLink();
    LinkSettings s;
    s.endpoint = &endpoint;
    ASSERT_TRUE(eq.startLink(s));  // a stopped link can start again
    setFaults({});
    EXPECT_TRUE(eq.waitFor(read(0x03, nullptr, 0, 2, 200)));
}

TEST_F(LinkEngineTest, SilentUnitIsSoonNotAnsweringAndEditsThenCountOnce) {
    eq.stopLink();
    LinkSettings s;
    s.endpoint = &endpoint;
    s.answerLimitMs = 300;
    ASSERT_TRUE(eq.startLink(s));
    EXPECT_TRUE(eq.waitFor(read(0x03, nullptr, 0, 2, 200)));
    EXPECT_FALSE(eq.notAnswering());
    sim.setSilenced(unit, true);
    read(0x07, nullptr, 0, 10, 200);  // a meters read that keeps trying meanwhile
    const auto start = Clock::now();
    while (!eq.notAnswering() && elapsedMs(start) < 3000)
        std::this_thread::sleep_for(milliseconds(5));
    ASSERT_TRUE(eq.notAnswering());
    EXPECT_FALSE(eq.hasFlag(linkflag::kStop));  // the link goes on
    // A gain edit and its repeat (a fader drag): one unconfirmed write, counted at once.
    const uint8_t gain[2] = {0x40, 0};
    const Ticket edit =
        eq.enqueue(op::kWrite, block::kOutput, 2, 0x01, gain, 2, nullptr, 0, 2, 100);
    eq.enqueue(op::kWrite, block::kOutput, 2, 0x01, gain, 2, nullptr, 0, 2, 100);
    EXPECT_EQ(eq.unconfirmedWrites(), 1u);
    EXPECT_EQ(eq.waitOutcome(edit, 4000), Outcome::NoReply);
    EXPECT_EQ(eq.unconfirmedWrites(), 1u);  // not again when its tries are spent
    sim.setSilenced(unit, false);
    EXPECT_TRUE(eq.waitFor(read(0x03, nullptr, 0, 2, 200)));
    EXPECT_FALSE(eq.notAnswering());  // cleared by the answer
    EXPECT_TRUE(eq.waitFor(write(block::kOutput, 2, 0x01, {0x41, 0})));
    EXPECT_EQ(eq.unconfirmedWrites(), 1u);
}

TEST_F(LinkEngineTest, CancelledWaitEndsAtOnce) {
    setFaults({.silentCodes = {0x03}});
    const Ticket t = read(0x03, nullptr, 0, 4, 1000);
    std::atomic<bool> cancel{false};
    const auto start = Clock::now();
    std::thread canceller([&] {
        std::this_thread::sleep_for(milliseconds(100));
        cancel = true;
    });
    EXPECT_EQ(eq.waitOutcome(t, 3000, nullptr, &cancel), Outcome::TimedOut);
    EXPECT_LT(elapsedMs(start), 1000);
    canceller.join();
}

}  // namespace
}  // namespace qel
