// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// A group of 16 members on 16 units: moves of the group through the group control and the
// units' sessions, as a window or the remote hub makes them.
//   bench_groups [--samples N] [--drags N]
// Sixteen simulated QD408s on loopback, each connected and read, with its session; the group
// holds output 1 of each.
// 1. Drag step: one group gain move, 20-40 ms apart (none merges with the one before).
//    Measured on the steady clock: from the call to the gain write of the last member to
//    reach its simulator (every member's write must arrive).
// 2. Coalescing: a 2 s drag with a move every 5 ms, against a 2 s drag of one channel through
//    its edit path alone at the same pace: gain writes that reached each unit per drag.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "UnitSimulator.h"
#include "device/GroupControl.h"
#include "device/UnitSessions.h"
#include "link/Equipment.h"
#include "link/Packet.h"
#include "link/UdpEndpoint.h"

using namespace qel;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kUnits = 16, kDragMs = 2000, kEventMs = 5;

int64_t nowNs() {
    return Clock::now().time_since_epoch().count();
}

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

// Arrival times of the output gain writes the unit received since its log was cleared.
std::vector<int64_t> gainWrites(const sim::UnitSimulator& sim, int unit) {
    std::vector<int64_t> at;
    for (const auto& r : sim.requests(unit))
        if (r.frame.size() > frame::kCode &&
            r.frame[frame::kTarget] == ((block::kOutput << 4) | op::kWrite) &&
            r.frame[frame::kCode] == param::kGain)
            at.push_back(r.arrivalNs);
    return at;
}

double pct(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

// The dB of drag event step: up and down across 20 dB.
double dragDb(int step) {
    return -20 + ((step * 3) % 40) * 0.5;
}

}  // namespace

int main(int argc, char** argv) {
    int samples = 300, drags = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--samples")) samples = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--drags")) drags = std::max(1, std::atoi(argv[i + 1]));
    }
    QCoreApplication app(argc, argv);
    sim::UnitSimulator sim;
    const auto ip = [](int u) { return "127.88.0." + std::to_string(2 + u); };
    for (int u = 0; u < kUnits; ++u) sim.addNetworkUnit(4, ip(u), "Bench-" + std::to_string(u));
    UdpEndpoint endpoint;
    if (!sim.start() || !endpoint.open(0)) return std::fprintf(stderr, "no simulator\n"), 1;
    LinkSettings link;
    link.endpoint = &endpoint;
    std::vector<std::shared_ptr<Equipment>> units(kUnits);
    std::vector<UnitTransfer::Result> results(kUnits);
    {
        std::vector<std::thread> connecting;
        for (int u = 0; u < kUnits; ++u)
            connecting.emplace_back([&, u] {
                units[u] = std::make_shared<Equipment>();
                units[u]->setAddress(*parseIpv4(ip(u)));
                units[u]->setFlags(linkflag::kUdp);
                results[u] = UnitTransfer(*units[u], link).run(UnitTransfer::Mode::Connect);
            });
        for (auto& t : connecting) t.join();
    }
    for (int u = 0; u < kUnits; ++u)
        if (results[u] != UnitTransfer::Result::Success)
            return std::fprintf(stderr, "unit %d did not connect\n", u), 1;
    auto sessions = std::make_unique<UnitSessions>();
    for (const auto& unit : units) sessions->open(unit);
    auto control = std::make_unique<GroupControl>(*sessions, GroupControl::among(units));
    control->addGroup("Drag");
    for (int u = 0; u < kUnits; ++u)
        control->addMember("Drag", {"Bench-" + std::to_string(u), model::kQD408,
                                    cmd::outputChannel(1)});

    // 1. One move to every member.
    std::vector<double> every, first;
    control->beginDrag("Drag");
    for (int i = 0; i < samples; ++i) {
        for (int u = 0; u < kUnits; ++u) sim.clearRequests(u);
        const int64_t start = nowNs();
        control->setGainDb("Drag", dragDb(i + 1));
        int64_t last = 0, earliest = INT64_MAX;
        for (int u = 0; u < kUnits; ++u) {
            std::vector<int64_t> at;
            const auto deadline = Clock::now() + std::chrono::seconds(2);
            while ((at = gainWrites(sim, u)).empty() && Clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            if (at.empty()) return std::fprintf(stderr, "move %d missed unit %d\n", i, u), 1;
            last = std::max(last, at.front());
            earliest = std::min(earliest, at.front());
        }
        every.push_back(static_cast<double>(last - start) / 1e6);
        first.push_back(static_cast<double>(earliest - start) / 1e6);
        pump(20 + (i * 7) % 21);
    }
    control->endDrag();
    std::printf("group of %d members on %d units, one gain move -> write at every member, "
                "samples=%d\n",
                kUnits, kUnits, samples);
    std::printf("  last member:  p50=%.3f ms p99=%.3f ms max=%.3f ms\n", pct(every, 0.5),
                pct(every, 0.99), pct(every, 1));
    std::printf("  first member: p50=%.3f ms p99=%.3f ms\n", pct(first, 0.5), pct(first, 0.99));

    // 2. Writes per 2 s drag: one channel alone, then the group.
    std::vector<double> single, groupMax, groupMedian;
    for (int d = 0; d < drags; ++d) {
        for (int u = 0; u < kUnits; ++u) sim.clearRequests(u);
        ParamEdit& edit = sessions->of(*units[0])->edit();
        const auto start = Clock::now();
        for (int step = 0; Clock::now() - start < std::chrono::milliseconds(kDragMs); ++step) {
            edit.setGain(cmd::outputChannel(2), static_cast<uint8_t>((dragDb(step) + 50) * 2));
            pump(kEventMs);
        }
        pump(300);
        single.push_back(static_cast<double>(gainWrites(sim, 0).size()));

        for (int u = 0; u < kUnits; ++u) sim.clearRequests(u);
        control->beginDrag("Drag");
        const auto groupStart = Clock::now();
        for (int step = 0; Clock::now() - groupStart < std::chrono::milliseconds(kDragMs);
             ++step) {
            control->setGainDb("Drag", dragDb(step) + 10);
            pump(kEventMs);
        }
        control->endDrag();
        pump(300);
        std::vector<double> perUnit;
        for (int u = 0; u < kUnits; ++u)
            perUnit.push_back(static_cast<double>(gainWrites(sim, u).size()));
        groupMax.push_back(pct(perUnit, 1));
        groupMedian.push_back(pct(perUnit, 0.5));
    }
    std::printf("2 s drag, a move every %d ms, %d drags: gain writes at a unit per drag\n",
                kEventMs, drags);
    std::printf("  one channel alone:       median %.0f, max %.0f\n", pct(single, 0.5),
                pct(single, 1));
    std::printf("  the group, busiest unit: median %.0f, max %.0f (each unit's median %.0f)\n",
                pct(groupMax, 0.5), pct(groupMax, 1), pct(groupMedian, 0.5));
    control.reset();
    sessions.reset();
    for (auto& u : units) u->stopLink();
    return 0;
}
