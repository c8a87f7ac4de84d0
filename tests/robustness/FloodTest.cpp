// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// A flood of datagrams at the program's endpoint while a connected unit is in use: random
// sizes from many loopback sources, some shaped as replies with the run's instance tag. The
// unit's commands must keep succeeding and nothing from other sources may reach its queue.
#include <gtest/gtest.h>

#include <cstdlib>

#include "DatagramFlood.h"
#include "RigSupport.h"
#include "device/ParamCommands.h"
#include "device/UnitCommands.h"
#include "platform/Clock.h"

namespace qel::robust {
namespace {

TEST(DatagramFlood, AConnectedUnitsCommandsSucceedThroughTenThousandDatagramsASecond) {
    const char* env = std::getenv("QUELLMAR_FLOOD_SECONDS");
    const uint32_t seconds = env ? static_cast<uint32_t>(std::atoi(env)) : 10;
    NetworkRig rig;
    ASSERT_TRUE(rig.open());
    auto& u = rig.add(model::kQD408);
    ASSERT_TRUE(rig.sim.start());
    Equipment& unit = *u.equipment;
    UnitTransfer connect(unit, rig.link());
    connect.setProgressPause(0);
    ASSERT_EQ(connect.run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);

    sim::FloodSettings flood;
    const std::string unitIp = rig.host(2);
    flood.sourcePrefix = unitIp.substr(0, unitIp.rfind('.'));
    flood.target = *parseIpv4(rig.host(1));
    flood.targetPort = rig.endpoint.localPort();
    flood.tag = instanceTag();
    flood.seed = 4711;
    std::printf("flood seed %u, %d datagrams/s for %u s\n", flood.seed, flood.perSecond, seconds);
    sim::DatagramFlood flooder;
    const long rssBefore = residentKb();
    const uint64_t parkedBefore = rig.endpoint.parkedCount();
    ASSERT_TRUE(flooder.start(flood)) << flooder.lastError();

    // Meanwhile the unit is read and written as an editor would, one command at a time.
    const uint32_t start = tickMs();
    int sent = 0, accepted = 0;
    uint8_t gain = 0;
    while (tickMs() - start < seconds * 1000) {
        uint8_t levels[32] = {};
        const OwnedCommand read = cmd::readMeters();
        const OwnedCommand write =
            cmd::writeGain(cmd::WriteKind::Interactive, cmd::outputChannel(2), ++gain);
        for (const OwnedCommand* c : {&read, &write}) {
            const Ticket t = unit.enqueue(c->toCommand(c == &read ? levels : nullptr));
            ++sent;
            accepted += unit.waitFor(t, UnitTransfer::waitLimitMs(*c));
        }
        EXPECT_EQ(rig.sim.state(u.index).params.out[1].gain, gain);
        if (sent % 1000 == 0) rig.sim.clearRequests(u.index);  // the simulator's log is not ours
    }
    flooder.stop();
    const long rssAfter = residentKb();
    const uint64_t parked = rig.endpoint.parkedCount() - parkedBefore;
    std::printf(
        "flood: %llu datagrams sent (%llu reply-shaped), %llu parked; commands %d of %d "
        "accepted; resident %ld kB -> %ld kB\n",
        static_cast<unsigned long long>(flooder.sent()),
        static_cast<unsigned long long>(flooder.replies()), static_cast<unsigned long long>(parked),
        accepted, sent, rssBefore, rssAfter);
    EXPECT_EQ(accepted, sent);
    EXPECT_GT(flooder.sent(), seconds * 5000ull);  // the flood really ran
    EXPECT_GT(parked, flooder.sent() / 2);         // and reached the endpoint
    EXPECT_TRUE(unit.linkRunning());
    EXPECT_FALSE(unit.hasFlag(linkflag::kStop));
}

}  // namespace
}  // namespace qel::robust
