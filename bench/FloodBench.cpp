// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// A datagram flood at the program's endpoint while a connected simulated QD408 is read and
// written one command at a time; reports the flood rate, the commands' outcomes and the
// resident memory of this process (VmRSS) every 10 s.
//   bench_flood [--seconds N] [--rate N] [--seed N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "DatagramFlood.h"
#include "UnitSimulator.h"
#include "device/ParamCommands.h"
#include "device/UnitCommands.h"
#include "device/UnitTransfer.h"
#include "link/UdpEndpoint.h"
#include "platform/Clock.h"

using namespace qel;

namespace {

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], name)) return std::atoi(argv[i + 1]);
    return fallback;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = option(argc, argv, "--seconds", 60);
    const int rate = option(argc, argv, "--rate", 10000);
    const auto seed = static_cast<uint32_t>(option(argc, argv, "--seed", 4711));
    sim::UnitSimulator sim;
    const std::string ip = "127.79.0.2";
    const int u = sim.addNetworkUnit(4, ip, "Flooded");
    if (u < 0 || !sim.start()) {
        std::fprintf(stderr, "simulator: %s\n", sim.lastError().c_str());
        return 1;
    }
    UdpEndpoint endpoint;
    if (!endpoint.open(0)) return 1;
    Equipment unit;
    unit.setAddress(*parseIpv4(ip));
    unit.setFlags(linkflag::kUdp);
    LinkSettings link;
    link.endpoint = &endpoint;
    UnitTransfer connect(unit, link);
    connect.setProgressPause(0);
    if (connect.run(UnitTransfer::Mode::Connect) != UnitTransfer::Result::Success) return 1;

    sim::FloodSettings flood;
    flood.sourcePrefix = "127.79.0";
    flood.target = *parseIpv4("127.79.0.1");
    flood.targetPort = endpoint.localPort();
    flood.perSecond = rate;
    flood.tag = instanceTag();
    flood.seed = seed;
    sim::DatagramFlood flooder;
    const long rssStart = residentKb();
    if (!flooder.start(flood)) {
        std::fprintf(stderr, "flood: %s\n", flooder.lastError().c_str());
        return 1;
    }
    std::printf("flood seed %u, %d datagrams/s for %d s; VmRSS at start %ld kB\n", seed, rate,
                seconds, rssStart);
    const uint32_t start = tickMs();
    uint32_t nextReport = 10000;
    long sent = 0, accepted = 0, rssMax = rssStart;
    uint8_t gain = 0;
    while (tickMs() - start < static_cast<uint32_t>(seconds) * 1000u) {
        uint8_t levels[32] = {};
        const OwnedCommand read = cmd::readMeters();
        const OwnedCommand write =
            cmd::writeGain(cmd::WriteKind::Interactive, cmd::outputChannel(2), ++gain);
        for (const OwnedCommand* c : {&read, &write}) {
            const Ticket t = unit.enqueue(c->toCommand(c == &read ? levels : nullptr));
            ++sent;
            accepted += unit.waitFor(t, UnitTransfer::waitLimitMs(*c));
        }
        if (sent % 1000 == 0) sim.clearRequests(u);  // the simulator's log is not the program's
        if (tickMs() - start >= nextReport) {
            const long rss = residentKb();
            rssMax = std::max(rssMax, rss);
            std::printf(
                "%3u s: %llu datagrams sent, %llu parked, commands %ld of %ld accepted, "
                "VmRSS %ld kB\n",
                nextReport / 1000, static_cast<unsigned long long>(flooder.sent()),
                static_cast<unsigned long long>(endpoint.parkedCount()), accepted, sent, rss);
            nextReport += 10000;
        }
    }
    flooder.stop();
    const long rssEnd = residentKb();
    const double elapsed = (tickMs() - start) / 1000.0;
    std::printf(
        "done: %.0f datagrams/s (%llu, %llu reply-shaped), commands %ld of %ld accepted, "
        "VmRSS %ld -> %ld kB (growth %ld kB, peak %ld kB)\n",
        static_cast<double>(flooder.sent()) / elapsed,
        static_cast<unsigned long long>(flooder.sent()),
        static_cast<unsigned long long>(flooder.replies()), accepted, sent, rssStart, rssEnd,
        rssEnd - rssStart, std::max(rssMax, rssEnd));
    return accepted == sent ? 0 : 2;
}
