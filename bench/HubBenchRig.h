// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once
// What the remote's benchmarks share: the steady clock, the event loop run for a while or
// until something holds, percentiles, and a simulated QD408 connected and read as `serve`
// does.
#include <time.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "UnitSimulator.h"
#include "cli/Session.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"

namespace qel::bench {

inline int64_t nowNs() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

// CPU time of a clock (CLOCK_THREAD_CPUTIME_ID, CLOCK_PROCESS_CPUTIME_ID).
inline int64_t cpuNs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

inline void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

template <typename F>
bool pumpUntil(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return done();
}

inline double pct(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

// When the simulator's unit 0 received each write of a gain.
inline std::vector<int64_t> gainWrites(const sim::UnitSimulator& sim) {
    std::vector<int64_t> at;
    for (const auto& r : sim.requests(0))
        if (r.frame.size() > 9 && r.frame[5] == 0x12 && r.frame[9] == 0x01)
            at.push_back(r.arrivalNs);
    return at;
}

// A simulated QD408 named "Bench" on ip, connected and read.
struct UnitRig {
    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
    LinkSettings link;
    std::shared_ptr<Equipment> unit = std::make_shared<Equipment>();
    std::unique_ptr<cli::Session> session;
    QTemporaryDir dir;

    bool connect(const std::string& ip) {
        if (sim.addNetworkUnit(4, ip, "Bench") < 0 || !sim.start() || !endpoint.open(0))
            return false;
        link.endpoint = &endpoint;
        unit->setAddress(*parseIpv4(ip));
        unit->setFlags(linkflag::kUdp);
        session = std::make_unique<cli::Session>(*unit, link);
        std::string failure;
        if (!session->connect(true, failure)) std::fprintf(stderr, "%s\n", failure.c_str());
        return failure.empty();
    }
};

}  // namespace qel::bench
