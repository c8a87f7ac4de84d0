// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Units that go away: a serial unit whose pseudo-terminal disappears (cable pulled) and a
// network unit that stops answering, while idle and in the middle of transfers. The link must
// stop by itself without spinning, the transfer must fail cleanly, and the unit must be
// reachable again once it is back.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "RigSupport.h"
#include "device/UnitCommands.h"
#include "platform/Clock.h"

namespace qel::robust {
namespace {

constexpr int kModel = model::kQD408;

// CPU time the whole process spends over a window, in ms (all threads, the simulator's too).
double cpuOver(uint32_t ms) {
    const double before = cpuMs();
    sleepMs(ms);
    return cpuMs() - before;
}

bool waitUntil(const std::function<bool()>& done, uint32_t limitMs) {
    const uint32_t start = tickMs();
    while (!done()) {
        if (tickMs() - start > limitMs) return false;
        sleepMs(5);
    }
    return true;
}

// What the editor's meter thread does while a unit is connected: a meters read now and then.
class MeterPoller {
public:
    explicit MeterPoller(Equipment& unit)
        : thread_([this, &unit] {
              const OwnedCommand meters = cmd::readMeters();
              uint8_t levels[32] = {};
              while (!stop_ && !unit.hasFlag(linkflag::kStop)) {
                  unit.enqueue(meters.toCommand(levels));
                  sleepMs(100);
              }
          }) {}
    ~MeterPoller() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class SerialUnitVanishes : public ::testing::Test {
protected:
    void SetUp() override {
        u = sim.addSerialUnit(kModel, "Serial");
        ASSERT_GE(u, 0) << sim.lastError();
        auto s = sim.state(u);
        randomise(s, 31);
        sim.setState(u, s);
        map.setOverride("COM3", sim.slavePath(u));
        unit.setPortName("COM3");
        unit.setFlags(linkflag::kSerial);
        link.serialMap = &map;
        ASSERT_TRUE(sim.start());
    }

    UnitTransfer transfer() {
        UnitTransfer t(unit, link);
        t.setProgressPause(0);
        return t;
    }

    // Closes the pty once the unit has logged `after` requests since the last clear.
    void vanishAfter(size_t after) {
        ASSERT_TRUE(sim.waitForRequests(u, after, 20000));
        vanishedAt = tickMs();
        sim.closeSerial(u);
    }

    // The stop the editor sees, and nothing left spinning.
    void expectStoppedAndQuiet() {
        EXPECT_TRUE(waitUntil([&] { return unit.hasFlag(linkflag::kStop); }, 2000));
        EXPECT_FALSE(unit.hasFlag(linkflag::kAvailable));
        EXPECT_EQ(unit.enqueue(cmd::readMeters().toCommand()), 0u);  // nothing goes out now
        const double cpu = cpuOver(1000);
        std::printf("CPU over 1 s after the port vanished: %.1f ms\n", cpu);
        EXPECT_LT(cpu, 300.0);  // a spinning thread would take about 1000 ms
    }

    // The unit comes back on a new pty; a fresh connection reads it byte-exact.
    void expectReconnects() {
        ASSERT_TRUE(sim.reopenSerial(u)) << sim.lastError();
        map.setOverride("COM3", sim.slavePath(u));
        ASSERT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
        EXPECT_TRUE(unit.image()->record() == expectedRecord(sim.state(u)));
        EXPECT_TRUE(unit.hasFlag(linkflag::kParamsRead | linkflag::kAvailable));
        EXPECT_TRUE(unit.linkRunning());
    }

    sim::UnitSimulator sim;
    SerialPortMap map;
    LinkSettings link;
    Equipment unit;
    int u = -1;
    uint32_t vanishedAt = 0;
};

TEST_F(SerialUnitVanishes, InTheMiddleOfAFullRead) {
    ASSERT_EQ(transfer().handshake(), UnitTransfer::Result::Success);
    sim.clearRequests(u);
    UnitTransfer::Result result = UnitTransfer::Result::Success;
    uint32_t endedAt = 0;
    std::thread worker([&] {
        result = transfer().run(UnitTransfer::Mode::ReadOnly);
        endedAt = tickMs();
    });
    vanishAfter(25);
    worker.join();
    EXPECT_EQ(result, UnitTransfer::Result::ReadFailed);
    EXPECT_LT(endedAt - vanishedAt, 1000u);  // at once, not after the command's tries
    EXPECT_FALSE(unit.linkRunning());
    EXPECT_FALSE(unit.hasFlag(linkflag::kParamsRead));
    EXPECT_TRUE(unit.image()->record() == ModeRecord{});  // nothing half-read was published
    expectStoppedAndQuiet();
    expectReconnects();
}

TEST_F(SerialUnitVanishes, InTheMiddleOfADownload) {
    ASSERT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
    sim.clearRequests(u);
    UnitTransfer::Result result = UnitTransfer::Result::Success;
    uint32_t endedAt = 0;
    std::thread worker([&] {
        result = transfer().run(UnitTransfer::Mode::Download);
        endedAt = tickMs();
    });
    vanishAfter(60);
    worker.join();
    EXPECT_EQ(result, UnitTransfer::Result::DownloadIncomplete);
    EXPECT_LT(endedAt - vanishedAt, 1000u);
    expectStoppedAndQuiet();
    unit.stopLink();  // what the disconnect does; then a new connection
    expectReconnects();
}

TEST_F(SerialUnitVanishes, WhileIdle) {
    ASSERT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
    {
        MeterPoller meters(unit);
        sim.clearRequests(u);
        vanishAfter(3);
        expectStoppedAndQuiet();
    }
    expectReconnects();
}

class NetworkUnitFallsSilent : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.open());
        u = rig.add(kModel).index;
        auto s = rig.sim.state(u);
        randomise(s, 32);
        rig.sim.setState(u, s);
        ASSERT_TRUE(rig.sim.start());
    }

    Equipment& unit() { return *rig.units[0].equipment; }
    UnitTransfer transfer(uint32_t silenceLimitMs = 15000) {
        LinkSettings l = rig.link();
        l.silenceLimitMs = silenceLimitMs;
        UnitTransfer t(unit(), l);
        t.setProgressPause(0);
        return t;
    }
    void expectQuiet() {
        const double cpu = cpuOver(1000);
        std::printf("CPU over 1 s while the unit is silent: %.1f ms\n", cpu);
        EXPECT_LT(cpu, 300.0);
    }
    void expectReconnects() {
        rig.sim.setSilenced(u, false);
        ASSERT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
        EXPECT_TRUE(unit().image()->record() == expectedRecord(rig.sim.state(u)));
        EXPECT_TRUE(unit().hasFlag(linkflag::kParamsRead | linkflag::kAvailable));
    }

    NetworkRig rig;
    int u = -1;
};

TEST_F(NetworkUnitFallsSilent, InTheMiddleOfAFullRead) {
    ASSERT_EQ(transfer().handshake(), UnitTransfer::Result::Success);
    rig.sim.clearRequests(u);
    UnitTransfer::Result result = UnitTransfer::Result::Success;
    uint32_t endedAt = 0;
    std::thread worker([&] {
        result = transfer().run(UnitTransfer::Mode::ReadOnly);
        endedAt = tickMs();
    });
    ASSERT_TRUE(rig.sim.waitForRequests(u, 25, 20000));
    const uint32_t silencedAt = tickMs();
    rig.sim.setSilenced(u, true);
    expectQuiet();
    worker.join();
    EXPECT_EQ(result, UnitTransfer::Result::ReadFailed);
    // One command's tries at most (an EQ block read: 4 x 1800 ms, plus slack).
    EXPECT_LE(endedAt - silencedAt, 4 * 1800u + 100u + 500u);
    EXPECT_TRUE(unit().hasFlag(linkflag::kStop));
    EXPECT_FALSE(unit().linkRunning());
    EXPECT_FALSE(unit().hasFlag(linkflag::kParamsRead | linkflag::kAvailable));
    EXPECT_TRUE(unit().image()->record() == ModeRecord{});
    expectReconnects();
}

TEST_F(NetworkUnitFallsSilent, InTheMiddleOfADownload) {
    ASSERT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
    rig.sim.clearRequests(u);
    UnitTransfer::Result result = UnitTransfer::Result::Success;
    std::thread worker([&] { result = transfer(3000).run(UnitTransfer::Mode::Download); });
    ASSERT_TRUE(rig.sim.waitForRequests(u, 60, 20000));
    const uint32_t silencedAt = tickMs();
    rig.sim.setSilenced(u, true);
    expectQuiet();
    worker.join();
    // A download goes on through failed commands; the silence ends the link after the limit
    // and four unanswered commands, and the rest fails at once.
    EXPECT_EQ(result, UnitTransfer::Result::DownloadIncomplete);
    EXPECT_LE(tickMs() - silencedAt, 3000u + 5 * (4 * 800u + 100u));
    EXPECT_TRUE(unit().hasFlag(linkflag::kStop));
    EXPECT_FALSE(unit().hasFlag(linkflag::kAvailable));
    unit().stopLink();
    expectReconnects();
}

TEST_F(NetworkUnitFallsSilent, WhileIdle) {
    ASSERT_EQ(transfer(4000).run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
    {
        MeterPoller meters(unit());
        sleepMs(300);
        EXPECT_FALSE(unit().hasFlag(linkflag::kStop));
        const uint32_t silencedAt = tickMs();
        rig.sim.setSilenced(u, true);
        expectQuiet();
        // Four unanswered meter reads of 4 x 400 ms each, and at least the 4000 ms limit.
        EXPECT_TRUE(waitUntil([&] { return unit().hasFlag(linkflag::kStop); }, 12000));
        const uint32_t stoppedAfter = tickMs() - silencedAt;
        std::printf("silent unit taken as lost after %u ms\n", stoppedAfter);
        EXPECT_GE(stoppedAfter, 4000u);
        EXPECT_FALSE(unit().hasFlag(linkflag::kAvailable));
        expectQuiet();
    }
    unit().stopLink();
    expectReconnects();
}

TEST_F(NetworkUnitFallsSilent, AUnitThatAnswersSlowlyIsNotTakenAsLost) {
    ASSERT_EQ(transfer(1000).run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
    // Every other reply is held back, so each meters read is answered only at its second try.
    rig.sim.setFaults(u, sim::Faults{.lateReplies = true});
    {
        MeterPoller meters(unit());
        sleepMs(6000);
    }
    EXPECT_FALSE(unit().hasFlag(linkflag::kStop));
    EXPECT_TRUE(unit().hasFlag(linkflag::kAvailable));
}

}  // namespace
}  // namespace qel::robust
