// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Many connected units and their meters.
//   bench_meters idle [--units N] [--seconds S]               nobody watches the meters
//   bench_meters watched [--units N] [--rate R] [--seconds S]  every unit's meters watched
// quellmar-unitsim serves N QD408s in a child process (its CPU is not counted). Each unit is
// connected as the program connects it (handshake and full read) and gets its session, as the
// program gives it; no window is open. Reported: this process's CPU over S seconds as a share
// of one core, its resident memory and what the units added to it, and with watchers the
// meter reads asked and the readings that reached the sessions' thread.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/UnitSession.h"
#include "device/UnitTransfer.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "SimUnits.h"

using namespace qel;

namespace {

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 2; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], name)) return std::atoi(argv[i + 1]);
    return fallback;
}

double cpuSeconds() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

double residentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
    return 0;
}

// Runs the event loop (the sessions' thread) for ms.
void pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

int run(int units, int rate, int seconds) {
    UdpEndpoint endpoint;  // goes after the units' links
    bench::SimUnits sim(units, 86);
    if (!sim.start() || !endpoint.open(0)) return 1;
    LinkSettings link;
    link.endpoint = &endpoint;
    const double rss0 = residentMb();
    const auto connected = sim.connect(link);
    std::vector<std::unique_ptr<UnitSession>> sessions;
    std::vector<UnitSession::MeterWatch> watches;
    long readings = 0;
    for (const auto& unit : connected) {
        sessions.push_back(std::make_unique<UnitSession>(unit));
        QObject::connect(sessions.back().get(), &UnitSession::metersChanged, [&] { ++readings; });
        if (rate > 0) watches.push_back(sessions.back()->watchMeters(rate));
    }
    pump(2000);
    uint64_t asked0 = 0;
    for (const auto& s : sessions) asked0 += s->meters().readingsAsked();
    readings = 0;
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    pump(seconds * 1000);
    const double cpu = cpuSeconds() - cpu0, elapsed = static_cast<double>(wall.elapsed()) / 1000;
    uint64_t asked = 0;
    for (const auto& s : sessions) asked += s->meters().readingsAsked();
    const double rss = residentMb();
    std::printf("%d of %d units connected with sessions, %s, %.1f s\n", int(sessions.size()), units,
                rate > 0 ? ("meters watched at " + std::to_string(rate) + "/s").c_str()
                         : "nobody watching the meters",
                elapsed);
    std::printf("  CPU %.2f %% of one core (%.4f %% per unit)\n", 100 * cpu / elapsed,
                100 * cpu / elapsed / std::max<size_t>(1, sessions.size()));
    std::printf("  resident memory %.1f MB, %.1f MB of it for the units (%.0f kB each)\n", rss,
                rss - rss0, 1024 * (rss - rss0) / std::max<size_t>(1, sessions.size()));
    std::printf("  meter reads asked %.1f/s per unit; new display bytes taken %.1f/s per unit\n",
                static_cast<double>(asked - asked0) / elapsed / std::max<size_t>(1, sessions.size()),
                static_cast<double>(readings) / elapsed / std::max<size_t>(1, sessions.size()));
    watches.clear();
    sessions.clear();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    const int units = std::max(1, option(argc, argv, "--units", 64));
    const int seconds = std::max(1, option(argc, argv, "--seconds", 10));
    if (mode == "idle") return run(units, 0, seconds);
    if (mode == "watched") return run(units, std::max(1, option(argc, argv, "--rate", 5)), seconds);
    std::fprintf(stderr,
                 "usage: bench_meters idle|watched [--units N] [--rate R] [--seconds S]\n");
    return 2;
}
