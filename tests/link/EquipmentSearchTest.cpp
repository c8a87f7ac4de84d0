// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <tuple>
#include <vector>

#include "ModuleSearch.h"
#include "UnitSimulator.h"
#include "link/EquipmentSearch.h"
#include "link/UdpEndpoint.h"
#include "platform/SerialPortMap.h"
#include "support/Loopback.h"

namespace qel {
namespace {

using Report = std::tuple<int, size_t, int>;  // percent, count, port

class EquipmentSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(endpoint.open(0));
        subnet = test::loopbackSubnet();
        settings.endpoint = &endpoint;
        settings.searchPort = 0;
        settings.progressPauseMs = 0;
        settings.serialMap = &map;
        const auto g = *parseIpv4(subnet + ".1");
        settings.gateway = {ipv4Octet(g, 0), ipv4Octet(g, 1), ipv4Octet(g, 2), 1};
        // No real serial ports take part: every name leads nowhere unless a test maps it.
        for (int n = 1; n <= 16; ++n) map.setOverride("COM" + std::to_string(n), "/nonexistent/tty");
    }
    int addUnit(int model, int host, const std::string& name, sim::Faults f = {}) {
        const int u = sim.addNetworkUnit(model, test::loopbackHost(subnet, host), name, f);
        EXPECT_GE(u, 0) << sim.lastError();
        return u;
    }
    void search(bool network = true, bool serial = false) {
        ASSERT_TRUE(sim.start());
        settings.network = network;
        settings.serial = serial;
        EquipmentSearch s(list, settings, [this](int percent, size_t count, int port) {
            reports.emplace_back(percent, count, port);
        });
        s.run();
    }
    EquipmentList::Entry find(int host) {
        const Ipv4 a = *parseIpv4(test::loopbackHost(subnet, host));
        for (const auto& e : list.snapshot())
            if (e->address() == a) return e;
        return nullptr;
    }

    UdpEndpoint endpoint;
    sim::UnitSimulator sim;
    std::string subnet;
    SerialPortMap map;
    SearchSettings settings;
    EquipmentList list;
    std::vector<Report> reports;
};

TEST_F(EquipmentSearchTest, FindsEveryModelWithNameAddressAndMac) {
    addUnit(2, 2, "Front Fill");
    addUnit(3, 3, "Delay Tower");
    addUnit(4, 4, "Main Stage");
    search();
    ASSERT_EQ(list.count(), 3u);
    const char* models[] = {"QD206", "QD406", "QD408"};
    const char* names[] = {"Front Fill", "Delay Tower", "Main Stage"};
    for (int i = 0; i < 3; ++i) {
        auto e = find(2 + i);
        ASSERT_TRUE(e) << i;
        EXPECT_EQ(e->modelName(), models[i]);
        EXPECT_EQ(e->modelCode(), 2u + i);
        // Names come back padded with spaces to 20 characters.
        EXPECT_EQ(e->deviceName().substr(0, std::strlen(names[i])), names[i]);
        EXPECT_EQ(e->deviceName().size(), 20u);
        EXPECT_EQ(e->addressText(), test::loopbackHost(subnet, 2 + i));
        // A free unit (last busy state 0) is listed but not marked available.
        EXPECT_EQ(e->flags(), linkflag::kUdp);
        EXPECT_NE(e->mac(), (std::array<uint8_t, 6>{}));
    }
}

TEST_F(EquipmentSearchTest, BusyStateDecidesListingAndAvailability) {
    addUnit(4, 2, "Busy first", {.busy = sim::Faults::Busy::First});
    addUnit(4, 3, "Busy last", {.busy = sim::Faults::Busy::Last});
    addUnit(4, 4, "No name", {.silentCodes = {0x04}});
    addUnit(5, 5, "Not ours");
    search();
    EXPECT_FALSE(find(2));
    EXPECT_FALSE(find(5));
    ASSERT_TRUE(find(3));
    EXPECT_EQ(find(3)->flags(), linkflag::kUdp | linkflag::kAvailable);
    ASSERT_TRUE(find(4));
    EXPECT_EQ(find(4)->modelName(), "QD408");
    EXPECT_EQ(find(4)->deviceName(), "");
    EXPECT_EQ(list.count(), 2u);
}

TEST_F(EquipmentSearchTest, NameBytesDecodeWithSpacesAndStopAtE0) {
    const int zeros = addUnit(4, 2, "x");
    const int cut = addUnit(4, 3, "x");
    auto s = sim.state(zeros);
    std::fill(std::begin(s.nameWire), std::end(s.nameWire), 0);
    sim.setState(zeros, s);
    s = sim.state(cut);
    const uint8_t wire[] = {'A' - 32, 'B' - 32, 0xE0, 'C' - 32};
    std::copy(std::begin(wire), std::end(wire), s.nameWire);
    sim.setState(cut, s);
    search();
    ASSERT_TRUE(find(2) && find(3));
    EXPECT_EQ(find(2)->deviceName(), std::string(20, ' '));
    EXPECT_EQ(find(3)->deviceName(), "AB");
}

TEST_F(EquipmentSearchTest, OpenUnitsStayOthersArePrunedAndNoUnitIsListedTwice) {
    addUnit(4, 2, "Kept");
    addUnit(3, 3, "Dropped");
    search();
    ASSERT_EQ(list.count(), 2u);
    auto kept = find(2);
    settings.keep = [&kept](const Equipment& unit) { return &unit == kept.get(); };
    EquipmentSearch again(list, settings);
    again.run();
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.at(0), kept);  // the same record, first, and not listed twice
    EXPECT_EQ(list.at(1)->modelName(), "QD406");
    // A unit that answers the broadcast a second time keeps its one row.
    const auto twice = sim::ModuleSearch::reply(*parseIpv4(test::loopbackHost(subnet, 3)));
    again.takeSearchReply(twice.data(), twice.size());
    EXPECT_EQ(list.count(), 2u);
}

TEST_F(EquipmentSearchTest, SerialPhaseProbesMappedPortsAndReportsProgress) {
    const int rack = sim.addSerialUnit(2, "Rack");
    const int odd = sim.addSerialUnit(5, "Odd");
    ASSERT_GE(rack, 0);
    map.setOverride("COM3", sim.slavePath(rack));
    map.setOverride("COM5", sim.slavePath(odd));
    search(false, true);
    ASSERT_EQ(list.count(), 1u);
    auto e = list.at(0);
    EXPECT_EQ(e->portName(), "COM3");
    EXPECT_EQ(e->modelName(), "QD206");
    EXPECT_EQ(e->deviceName().substr(0, 4), "Rack");
    EXPECT_EQ(e->flags(), linkflag::kSerial);
    std::vector<Report> expected;
    for (int port = 1; port <= 16; ++port) {
        expected.emplace_back(20 + 5 * port, port < 3 ? 0 : 1, port);
        if (port == 3) expected.emplace(expected.end() - 1, 35, 0, 3);
    }
    EXPECT_EQ(reports, expected);
    EXPECT_EQ(sim.requests(odd).size(), 1u);  // model 5: probing stops after the model probe
}

TEST_F(EquipmentSearchTest, RequestIsExactAndShortRepliesAreIgnored) {
    // A stand-in module on the subnet's broadcast address answers with short datagrams.
    UdpSocket module;
    ASSERT_TRUE(module.open(*parseIpv4(subnet + ".255"), 0, true));
    settings.modulePort = module.localPort();
    std::thread answer([&] {
        uint8_t request[64];
        Ipv4 from = 0;
        uint16_t port = 0;
        ASSERT_TRUE(module.waitReadable(2000));
        const long n = module.receiveFrom(request, sizeof request, &from, &port);
        EXPECT_EQ(std::vector<uint8_t>(request, request + std::max(n, 0L)),
                  (std::vector<uint8_t>{1, 0, 0, 0xC0, 0, 0, 0, 0, 0, 1, 0xFF, 0xFF}));
        for (size_t size : {size_t{0}, size_t{12}, size_t{21}}) {
            std::vector<uint8_t> reply(size, 0x7F);
            module.sendTo(from, port, reply.data(), reply.size());
        }
    });
    search();
    answer.join();
    EXPECT_EQ(list.count(), 0u);
}

}  // namespace
}  // namespace qel
