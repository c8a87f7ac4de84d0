// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "UnitSimulator.h"
#include "device/DownloadVerify.h"
#include "device/InputSelect.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/UnitText.h"
#include "device/UnitTransfer.h"
#include "link/UdpEndpoint.h"
#include "platform/Clock.h"
#include "platform/SerialPortMap.h"
#include "support/Loopback.h"
#include "support/SimRecords.h"

namespace qel {
namespace {

using test::expectedRecord;
using test::randomise;

class UnitTransferTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { ASSERT_TRUE(endpoint.open(0)); }

    // A network unit of the model at a fresh loopback address.
    int addNetworkUnit(int model, const sim::Faults& faults = {}) {
        const std::string ip = test::loopbackHost(test::loopbackSubnet(), 2);
        const int u = sim.addNetworkUnit(model, ip, "Unit " + std::to_string(model), faults);
        EXPECT_GE(u, 0) << sim.lastError();
        unit.setAddress(*parseIpv4(ip));
        unit.setFlags(linkflag::kUdp);
        return u;
    }
    int addSerialUnit(int model) {
        const int u = sim.addSerialUnit(model, "Serial");
        EXPECT_GE(u, 0) << sim.lastError();
        map.setOverride("COM2", sim.slavePath(u));
        unit.setPortName("COM2");
        unit.setFlags(linkflag::kSerial);
        return u;
    }
    UnitTransfer transfer() {
        link.endpoint = &endpoint;
        link.serialMap = &map;
        UnitTransfer t(unit, link, [this](int position, const char* status) {
            positions.push_back(position);
            statuses.emplace_back(status);
        });
        t.setProgressPause(0);
        return t;
    }
    void expectReadMatches(int u) {
        const auto s = sim.state(u);
        auto image = unit.image();
        ASSERT_TRUE(image);
        EXPECT_TRUE(image->record() == expectedRecord(s));
        EXPECT_EQ(image->currentMode(), s.currentMode);
        for (int m = 0; m < 20; ++m) EXPECT_EQ(image->deviceModeName(m).substr(0, 4), "Mode") << m;
        EXPECT_TRUE(unit.hasFlag(linkflag::kParamsRead | linkflag::kAvailable));
    }

    UdpEndpoint endpoint;
    sim::UnitSimulator sim;
    SerialPortMap map;
    LinkSettings link;
    Equipment unit;
    std::vector<int> positions;
    std::vector<std::string> statuses;
};

TEST_P(UnitTransferTest, ConnectAndReadEveryModelByteExact) {
    const int model = GetParam();
    const int u = addNetworkUnit(model);
    auto s = sim.state(u);
    randomise(s, static_cast<uint32_t>(model) * 7919);
    sim.setState(u, s);
    ASSERT_TRUE(sim.start());
    EXPECT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
    EXPECT_EQ(unit.modelName(), modelName(static_cast<uint32_t>(model)));
    EXPECT_EQ(unit.deviceName(), "Unit " + std::to_string(model) + std::string(14, ' '));
    expectReadMatches(u);
    std::vector<int> expected = {1, 2, 3, 4, 5, 6, 17, 25, 32, 40, 47, 55, 62, 70, 77, 85, 92, 100};
    EXPECT_EQ(positions, expected);
    EXPECT_EQ(statuses.front(), UnitTransfer::kConnectingStatus);
    EXPECT_EQ(statuses.back(), UnitTransfer::kDownloadingStatus);
}

TEST_P(UnitTransferTest, DownloadLeavesTheUnitEqualToTheRecord) {
    const int model = GetParam();
    const int u = addNetworkUnit(model);
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(transfer().handshake(), UnitTransfer::Result::Success);
    // A record read from a randomised unit is sent to a unit in its default state.
    sim::UnitState wanted = sim.state(u);
    randomise(wanted, 4242);
    auto image = std::make_shared<ModeImage>();
    image->record() = expectedRecord(wanted);
    unit.setImage(image);
    positions.clear();
    EXPECT_EQ(transfer().run(UnitTransfer::Mode::Download), UnitTransfer::Result::Success);
    positions.clear();
    ASSERT_TRUE(transfer().fullRead());
    // Rows of channels the model lacks are not sent: compare the model's channels only.
    const ModeRecord& got = unit.image()->record();
    for (int i = 0; i < inputCount(static_cast<uint32_t>(model)); ++i)
        EXPECT_TRUE(got.input(i) == image->record().input(i)) << "input " << i;
    for (int k = 0; k < outputCount(static_cast<uint32_t>(model)); ++k)
        EXPECT_TRUE(got.output(k) == image->record().output(k)) << "output " << k;
}

INSTANTIATE_TEST_SUITE_P(Models, UnitTransferTest, ::testing::Values(2, 3, 4));

TEST_F(UnitTransferTest, QD408DownloadReportsItsProgress) {
    addNetworkUnit(4);
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(transfer().handshake(), UnitTransfer::Result::Success);
    positions.clear();
    UnitTransfer t = transfer();
    EXPECT_EQ(t.run(UnitTransfer::Mode::Download), UnitTransfer::Result::Success);
    const std::vector<int> expected = {4,  8,  12, 16, 16, 20, 20, 30, 40, 50,
                                       60, 65, 70, 75, 80, 85, 90, 95, 100};
    EXPECT_EQ(positions, expected);  // the verify after it reports nothing
    ASSERT_TRUE(t.verifyReport());
    EXPECT_EQ(t.verifyReport()->summary(), "verified: the unit equals the record");
}

TEST_F(UnitTransferTest, SerialUnitReadsByteExact) {
    const int u = addSerialUnit(2);
    auto s = sim.state(u);
    randomise(s, 99);
    sim.setState(u, s);
    ASSERT_TRUE(sim.start());
    EXPECT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
    expectReadMatches(u);
}

TEST_F(UnitTransferTest, HandshakeFailuresStopTheLink) {
    sim::Faults busy;
    busy.busy = sim::Faults::Busy::Always;
    addNetworkUnit(4, busy);
    ASSERT_TRUE(sim.start());
    EXPECT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::HandshakeTimeout);
    EXPECT_FALSE(unit.linkRunning());
    EXPECT_TRUE(unit.hasFlag(linkflag::kStop));
    EXPECT_FALSE(unit.image());
    sim::Faults silentName;
    silentName.silentCodes = {0x04};
    sim.setFaults(0, silentName);
    EXPECT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::HandshakeTimeout);
    EXPECT_EQ(unit.modelName(), "QD408");  // got as far as the model
    EXPECT_FALSE(unit.linkRunning());
}

TEST_F(UnitTransferTest, ConnectReadsTheModeAndAFailedOneForgetsNothing) {
    const int u = addNetworkUnit(4);
    auto s = sim.state(u);
    s.engineering = true;
    sim.setState(u, s);
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
    EXPECT_TRUE(unit.hasFlag(linkflag::kEngineering));
    const auto image = unit.image();
    // Failures before and after the name: the name, the mode and the image stay.
    sim::Faults busy, silentName;
    busy.busy = sim::Faults::Busy::Always;
    silentName.silentCodes = {0x04};
    for (const auto& faults : {busy, silentName}) {
        sim.setFaults(u, faults);
        EXPECT_EQ(transfer().run(UnitTransfer::Mode::Connect),
                  UnitTransfer::Result::HandshakeTimeout);
        EXPECT_EQ(unpaddedUnitText(unit.deviceName()), "Unit 4");
        EXPECT_TRUE(unit.hasFlag(linkflag::kEngineering));
        EXPECT_EQ(unit.image(), image);
    }
    sim.setFaults(u, {});
    s.engineering = false;
    sim.setState(u, s);
    ASSERT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
    EXPECT_FALSE(unit.hasFlag(linkflag::kEngineering));
}

TEST_F(UnitTransferTest, SerialPortThatCannotOpenFailsSilently) {
    unit.setPortName("COM9");
    unit.setFlags(linkflag::kSerial);
    map.setOverride("COM9", "/nonexistent/tty");
    EXPECT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::PortFailed);
    EXPECT_TRUE(positions.empty());
}

TEST_F(UnitTransferTest, ReadFailingMidwayLeavesTheLinkStoppedAndNothingMarkedRead) {
    sim::Faults noEq;
    noEq.silentCodes = {0x08};
    addNetworkUnit(3, noEq);
    ASSERT_TRUE(sim.start());
    EXPECT_EQ(transfer().run(UnitTransfer::Mode::Connect), UnitTransfer::Result::ReadFailed);
    EXPECT_FALSE(unit.linkRunning());
    EXPECT_FALSE(unit.hasFlag(linkflag::kAvailable));
    EXPECT_FALSE(unit.hasFlag(linkflag::kParamsRead));
    ASSERT_TRUE(unit.image());
    EXPECT_TRUE(unit.image()->record() == ModeRecord{});  // the half-read image was not published
    EXPECT_EQ(positions.back(), 70);
}

TEST_F(UnitTransferTest, CancelStopsADownloadToASlowUnit) {
    const int u = addNetworkUnit(2);
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(transfer().handshake(), UnitTransfer::Result::Success);
    unit.setImage(std::make_shared<ModeImage>());
    sim::Faults slow;
    slow.replyDelayMs = 250;  // the whole download would take about 40 s
    sim.setFaults(u, slow);
    sim.clearRequests(u);
    std::atomic<bool> cancel{false};
    uint32_t cancelledAt = 0;
    std::thread canceller([&] {
        ASSERT_TRUE(sim.waitForRequests(u, 4, 10000));
        cancelledAt = tickMs();
        cancel = true;  // as a signal handler would
    });
    UnitTransfer t = transfer();
    t.setCancel(&cancel);
    EXPECT_EQ(t.run(UnitTransfer::Mode::Download), UnitTransfer::Result::Cancelled);
    const uint32_t endedAt = tickMs();
    canceller.join();
    EXPECT_LT(endedAt - cancelledAt, 1000u);
    EXPECT_TRUE(unit.knownDifferent());
    EXPECT_FALSE(t.verifyReport());  // nothing was read back either
    const size_t sent = sim.requests(u).size();
    EXPECT_LE(sent, 6u);
    sleepMs(600);
    EXPECT_EQ(sim.requests(u).size(), sent);  // nothing queued after the cancel
}

}  // namespace
}  // namespace qel
