// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QTemporaryDir>
#include <array>
#include <memory>
#include <vector>

#include "UnitSimulator.h"
#include "device/GroupControl.h"
#include "device/UnitSessions.h"
#include "link/UdpEndpoint.h"
#include "support/Loopback.h"

namespace qel::test {


// Two simulated QD408s, "Stage-L" and "Stage-R", connected with their sessions, and a group
// "Mains" of their output 1 kept in a temporary file.
struct GroupRig {
    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
    SessionOptions options;
    std::vector<std::shared_ptr<Equipment>> units;
    std::unique_ptr<UnitSessions> sessions;
    std::unique_ptr<GroupControl> groups;
    QTemporaryDir dir;
    const GroupMember left{"Stage-L", model::kQD408, cmd::outputChannel(1)};
    const GroupMember right{"Stage-R", model::kQD408, cmd::outputChannel(1)};

    // Output 1 of each unit starts at these gain codes, mutes and polarities.
    bool start(std::array<uint8_t, 2> gains, std::array<uint8_t, 2> mutes = {0, 0},
               std::array<uint8_t, 2> polarities = {0, 0}) {
        const std::string subnet = test::loopbackSubnet();
        const char* names[] = {"Stage-L", "Stage-R"};
        for (int u = 0; u < 2; ++u) {
            const int id = sim.addNetworkUnit(4, test::loopbackHost(subnet, 2 + u), names[u]);
            if (id < 0) return false;
            auto s = sim.state(id);
            s.params.out[0].gain = gains[u];
            s.params.out[0].mute = mutes[u];
            s.params.out[0].polarity = polarities[u];
            s.params.out[0].delay = 480;
            sim.setState(id, s);
        }
        if (!sim.start() || !endpoint.open(0)) return false;
        options.link.emplace();
        options.link->endpoint = &endpoint;
        sessions = std::make_unique<UnitSessions>(options);
        for (int u = 0; u < 2; ++u) {
            auto unit = std::make_shared<Equipment>();
            unit->setAddress(*parseIpv4(test::loopbackHost(subnet, 2 + u)));
            unit->setFlags(linkflag::kUdp);
            if (UnitTransfer(*unit, *options.link).run(UnitTransfer::Mode::Connect) !=
                UnitTransfer::Result::Success)
                return false;
            units.push_back(unit);
            sessions->open(unit);
        }
        groups = makeControl();
        return groups->load(file()).ok() && groups->addGroup("Mains") &&
               groups->addMember("Mains", left) && groups->addMember("Mains", right);
    }
    std::unique_ptr<GroupControl> makeControl() {
        return std::make_unique<GroupControl>(*sessions, GroupControl::among(units));
    }
    QString file() const { return dir.filePath("Groups.json"); }
    sim::ChannelOut out(int unit) const { return sim.state(unit).params.out[0]; }
    ~GroupRig() {
        groups.reset();
        sessions.reset();
        for (auto& u : units) u->stopLink();
    }
};

}  // namespace qel::test
