// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>

#include "UnitSimulator.h"
#include "link/Equipment.h"
#include "platform/SerialPortMap.h"

namespace qel {
namespace {

using std::chrono::milliseconds;

double cpuSeconds() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// A simulated QD206 on a pseudo-terminal reached as "COM3".
class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        unit = sim.addSerialUnit(2, "Rack");
        ASSERT_GE(unit, 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        map.setOverride("COM3", sim.slavePath(unit));
        eq.setPortName("COM3");
        eq.setFlags(linkflag::kSerial);
        settings.serialMap = &map;
        ASSERT_TRUE(eq.startLink(settings)) << eq.lastError().serial.systemWords();
    }
    void TearDown() override { eq.stopLink(); }

    bool readModel(uint8_t& model) {
        const uint8_t zero[2] = {0, 0};
        return eq.waitFor(eq.enqueue(op::kRead, block::kUnit, 0, 0x03, zero, 2, &model, 1, 2, 200));
    }

    sim::UnitSimulator sim;
    int unit = -1;
    SerialPortMap map;
    LinkSettings settings;
    Equipment eq;
};

TEST_F(SerialLinkTest, CommandsTravelOverThePseudoTerminal) {
    uint8_t model = 0;
    EXPECT_TRUE(readModel(model));
    EXPECT_EQ(model, 2);
    const uint8_t delay[2] = {0xE8, 0x03};
    EXPECT_TRUE(
        eq.waitFor(eq.enqueue(op::kWrite, block::kOutput, 3, 0x04, delay, 2, nullptr, 0, 4, 400)));
    EXPECT_EQ(sim.state(unit).params.out[2].delay, 1000);
}

TEST_F(SerialLinkTest, RepliesArrivingByteByByteAreAssembled) {
    sim.setFaults(unit, {.bytewiseSerial = true});
    uint8_t name[20] = {};
    const uint8_t zero[2] = {0, 0};
    EXPECT_TRUE(
        eq.waitFor(eq.enqueue(op::kRead, block::kUnit, 0, 0x04, zero, 2, name, 20, 2, 400)));
    EXPECT_EQ(name[0] + 0x20, 'R');
}

TEST_F(SerialLinkTest, AVanishedPortStopsTheLinkWithoutSpinning) {
    uint8_t model = 0;
    ASSERT_TRUE(readModel(model));
    sim.closeSerial(unit);
    for (int i = 0; i < 200 && !eq.hasFlag(linkflag::kStop); ++i)
        std::this_thread::sleep_for(milliseconds(5));
    EXPECT_TRUE(eq.hasFlag(linkflag::kStop));
    EXPECT_FALSE(readModel(model));  // refused at once
    const double before = cpuSeconds();
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_LT(cpuSeconds() - before, 0.1);  // no thread is left spinning on the dead port
    eq.stopLink();
    EXPECT_FALSE(eq.startLink(settings));  // the device is gone: the open fails cleanly
    EXPECT_FALSE(eq.lastError().empty());
}

TEST(SerialPortMapTest, NamesMapToUsbDevicesUnlessOverridden) {
    SerialPortMap m;
    EXPECT_EQ(m.devicePath("COM1"), "/dev/ttyUSB0");
    EXPECT_EQ(m.devicePath("COM16"), "/dev/ttyUSB15");
    EXPECT_TRUE(m.addMapping("COM4=/dev/pts/7"));
    EXPECT_EQ(m.devicePath("COM4"), "/dev/pts/7");
    EXPECT_FALSE(m.addMapping("COMX=/dev/pts/7"));
    EXPECT_FALSE(m.addMapping("COM5"));
}

}  // namespace
}  // namespace qel
