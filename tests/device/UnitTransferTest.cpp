#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "UnitSimulator.h"
#include "device/InputSelect.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/UnitTransfer.h"
#include "link/UdpEndpoint.h"
#include "platform/SerialPortMap.h"
#include "support/Loopback.h"

namespace qel {
namespace {

// Fills a simulated unit with seeded random values in each field's range.
void randomise(sim::UnitState& s, uint32_t seed) {
    std::mt19937 gen(seed);
    auto byte = [&](int max) { return static_cast<uint8_t>(gen() % (static_cast<unsigned>(max) + 1)); };
    auto points = [&](uint8_t(*eq)[sim::kPointBytes], int count) {
        for (int p = 0; p < count; ++p) {
            eq[p][0] = byte(2);
            eq[p][1] = byte(255);
            eq[p][2] = byte(180);
            eq[p][3] = byte(179);
            eq[p][4] = byte(255);
        }
    };
    for (auto& in : s.params.in) {
        in.gain = byte(200);
        in.mute = byte(1);
        in.eqSwitch = byte(1);
        points(in.eq, sim::kInputEqPoints);
    }
    for (auto& out : s.params.out) {
        out.inputSelectCode = byte(15);
        out.gain = byte(200);
        out.mute = byte(1);
        out.polarity = byte(1);
        out.delay = static_cast<uint16_t>(gen() % 48000);
        out.limLevel = byte(60);
        out.limAttack = byte(10);
        out.limRelease = byte(10);
        out.hpfType = byte(8);
        out.hpfFreq = byte(255);
        out.lpfType = byte(8);
        out.lpfFreq = byte(255);
        out.eqSwitch = byte(1);
        points(out.eq, sim::kOutputEqPoints);
    }
    s.currentMode = byte(19);
}

EqPoint imagePoint(const uint8_t* wire) { return {wire[0], wire[2], wire[1], wire[3]}; }

// What the image must hold after reading this unit: rows for every channel, EQ and filters
// for the model's channels.
ModeRecord expectedRecord(const sim::UnitState& s) {
    ModeRecord r;
    for (int i = 0; i < kMaxInputs; ++i) {
        InputChannel& in = r.input(i);
        in.setGain(s.params.in[i].gain);
        in.setMute(s.params.in[i].mute);
        if (i >= inputCount(s.model)) continue;
        in.setEqSwitch(s.params.in[i].eqSwitch);
        for (int p = 0; p < InputChannel::kPoints; ++p) in.point(p) = imagePoint(s.params.in[i].eq[p]);
    }
    for (int k = 0; k < kMaxOutputs; ++k) {
        const auto& o = s.params.out[k];
        OutputChannel& out = r.output(k);
        out.setInputSelect(inputSetFromUnitCode(static_cast<uint32_t>(s.model), o.inputSelectCode));
        out.setGain(o.gain);
        out.setMute(o.mute);
        out.setPolarity(o.polarity);
        out.setDelay(o.delay);
        out.setLimiterLevel(o.limLevel);
        out.setLimiterAttack(o.limAttack);
        out.setLimiterRelease(o.limRelease);
        if (k >= outputCount(s.model)) continue;
        out.setHighPassType(o.hpfType);
        out.setHighPassFreq(o.hpfFreq);
        out.setLowPassType(o.lpfType);
        out.setLowPassFreq(o.lpfFreq);
        out.setEqSwitch(o.eqSwitch);
        for (int p = 0; p < OutputChannel::kPoints; ++p) out.point(p) = imagePoint(o.eq[p]);
    }
    return r;
}

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
        for (int m = 0; m < 20; ++m)
            EXPECT_EQ(image->deviceModeName(m).substr(0, 4), "Mode") << m;
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
    EXPECT_EQ(transfer().run(UnitTransfer::Mode::Download), UnitTransfer::Result::Success);
    const std::vector<int> expected = {4, 8, 12, 16, 16, 20, 20, 30, 40, 50, 60, 65, 70, 75, 80, 85, 90, 95, 100};
    EXPECT_EQ(positions, expected);
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

}  // namespace
}  // namespace qel
