// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Connection and search benchmarks against the in-process simulator.
//   bench_transfer read [--runs N]          connect + full read of a QD408 vs. its floor
//   bench_transfer search [--units N]       one search over N simulated network units
//   bench_transfer verify [--runs N]        QD408 download alone, and with its verify, vs a read
//   bench_transfer fleet [--units N] [--delay MS]  quellmar-cli download to N units vs one,
//                                           found by --all and named by --ip; replies MS late
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <QTemporaryDir>

#include <random>
#include <sstream>

#include "UnitSimulator.h"
#include "cli/CliOptions.h"
#include "cli/DownloadCommand.h"
#include "device/DownloadVerify.h"
#include "device/ModeFileStore.h"
#include "device/ModeImage.h"
#include "device/UnitCommands.h"
#include "device/UnitTransfer.h"
#include "link/EquipmentSearch.h"
#include "link/UdpEndpoint.h"
#include "platform/Trace.h"

using namespace qel;
using Clock = std::chrono::steady_clock;

namespace {

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 2; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], name)) return std::atoi(argv[i + 1]);
    return fallback;
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int readBench(int runs) {
    sim::UnitSimulator sim;
    const std::string ip = "127.78.0.2";
    if (sim.addNetworkUnit(4, ip, "Bench") < 0 || !sim.start()) return 1;
    UdpEndpoint endpoint;
    if (!endpoint.open(0)) return 1;
    LinkSettings link;
    link.endpoint = &endpoint;
    std::vector<double> reads, trips;
    int reports = 0;
    for (int r = 0; r < runs; ++r) {
        Equipment unit;
        unit.setAddress(*parseIpv4(ip));
        unit.setFlags(linkflag::kUdp);
        reports = 0;
        UnitTransfer t(unit, link, [&](int, const char*) { ++reports; });
        const auto start = Clock::now();
        if (t.run(UnitTransfer::Mode::Connect) != UnitTransfer::Result::Success) return 1;
        reads.push_back(ms(Clock::now() - start));
        for (int i = 0; i < 20; ++i) {  // one round trip of a plain read, for the floor
            uint8_t model = 0;
            const auto t0 = Clock::now();
            unit.waitFor(unit.enqueue(cmd::readModel().toCommand(&model)));
            trips.push_back(ms(Clock::now() - t0));
        }
        unit.stopLink();
    }
    const size_t commands = sim.requests(0).size() / static_cast<size_t>(runs) - 20;
    const double trip = median(trips);
    const double floor = 30.0 * reports + trip * static_cast<double>(commands);
    std::printf("connect+read QD408 runs=%d median=%.1f ms commands=%zu reports=%d round-trip=%.3f ms "
                "floor=%.1f ms ratio=%.3f\n",
                runs, median(reads), commands, reports, trip, floor, median(reads) / floor);
    return 0;
}

int searchBench(int units) {
    sim::UnitSimulator sim;
    for (int i = 0; i < units; ++i)
        if (sim.addNetworkUnit(2 + i % 3, "127.79.0." + std::to_string(2 + i), "U" + std::to_string(i)) < 0)
            return 1;
    if (!sim.start()) return 1;
    UdpEndpoint endpoint;
    if (!endpoint.open(0)) return 1;
    SearchSettings s;
    s.endpoint = &endpoint;
    s.gateway = {127, 79, 0, 1};
    s.searchPort = 0;
    s.serial = false;
    EquipmentList list;
    const auto start = Clock::now();
    EquipmentSearch(list, s).run();
    const double total = ms(Clock::now() - start);
    std::printf("search units=%d found=%zu total=%.1f ms (800 ms window) per unit beyond the window=%.2f ms\n",
                units, list.count(), total, std::max(0.0, total - 800.0) / units);
    return list.count() == static_cast<size_t>(units) ? 0 : 1;
}

// A record with every field of a QD408's channels at a seeded random value in its range.
ModeRecord randomRecord(uint32_t seed) {
    std::mt19937 gen(seed);
    auto pick = [&](unsigned max) { return static_cast<uint8_t>(gen() % (max + 1)); };
    ModeRecord r;
    for (int i = 0; i < 4; ++i) {
        r.input(i).setGain(pick(124));
        r.input(i).setEqSwitch(pick(1));
        for (int p = 0; p < InputChannel::kPoints; ++p)
            r.input(i).point(p) = {pick(2), pick(180), pick(255), pick(179)};
    }
    for (int k = 0; k < 8; ++k) {
        OutputChannel& o = r.output(k);
        o.setGain(pick(124));
        o.setDelay(static_cast<uint16_t>(gen() % 32737));
        o.setInputSelect(pick(15));
        o.setLimiterLevel(pick(60));
        o.setHighPassType(pick(8));
        o.setHighPassFreq(pick(255));
        for (int p = 0; p < OutputChannel::kPoints; ++p) o.point(p) = {pick(2), pick(180), pick(255), pick(179)};
    }
    return r;
}

// Download of a QD408 alone and with its verify, each against the time of one full read.
int verifyBench(int runs) {
    sim::UnitSimulator sim;
    const std::string ip = "127.78.0.3";
    if (sim.addNetworkUnit(4, ip, "Bench") < 0 || !sim.start()) return 1;
    UdpEndpoint endpoint;
    if (!endpoint.open(0)) return 1;
    LinkSettings link;
    link.endpoint = &endpoint;
    Equipment unit;
    unit.setAddress(*parseIpv4(ip));
    unit.setFlags(linkflag::kUdp);
    UnitTransfer t(unit, link);
    t.setProgressPause(0);
    if (t.handshake() != UnitTransfer::Result::Success) return 1;
    std::vector<double> downloads, verified, reads;
    for (int r = 0; r < runs; ++r) {
        auto image = std::make_shared<ModeImage>();
        image->record() = randomRecord(static_cast<uint32_t>(2 * r));
        unit.setImage(image);
        auto start = Clock::now();
        if (t.fullDownload() != 0) return 1;
        downloads.push_back(ms(Clock::now() - start));
        image->record() = randomRecord(static_cast<uint32_t>(2 * r + 1));
        start = Clock::now();
        if (!DownloadVerify(unit, link).downloadAndVerify().ok()) return 1;
        verified.push_back(ms(Clock::now() - start));
        start = Clock::now();
        if (!t.fullRead()) return 1;
        reads.push_back(ms(Clock::now() - start));
    }
    unit.stopLink();
    const double download = median(downloads), both = median(verified), read = median(reads);
    std::printf("QD408 runs=%d download=%.1f ms download+verify=%.1f ms full read=%.1f ms "
                "verify adds %.1f ms = %.2f x a full read\n",
                runs, download, both, read, both - download, (both - download) / read);
    return 0;
}

// quellmar-cli download to N units, as the command runs it, against one unit.
// With all, the units are found by a search; otherwise each is named with --ip.
double fleetRun(int units, const std::string& file, bool all, int delayMs) {
    sim::UnitSimulator sim;
    std::vector<std::string> args = {"--local-port", "0", "--mode-file", file, "--record", "1"};
    for (int i = 0; i < units; ++i) {
        const std::string ip = "127.81.0." + std::to_string(2 + i);
        sim::Faults faults;
        faults.replyDelayMs = delayMs;
        if (sim.addNetworkUnit(4, ip, "U" + std::to_string(i), faults) < 0) return -1;
        if (!all) args.insert(args.end(), {"--ip", ip});
    }
    if (!sim.start()) return -1;
    if (all) args.insert(args.end(), {"--all", "--gateway", "127.81.0.1", "--search-port", "0"});
    for (int n = 1; all && n <= 16; ++n)
        args.insert(args.end(), {"--serial-map", "COM" + std::to_string(n) + "=/nonexistent"});
    cli::GlobalOptions globals;
    cli::CliOptions options(args, globals);
    cli::DownloadCommand command;
    if (!command.parse(options)) return -1;
    std::ostringstream out, err;
    const auto start = Clock::now();
    const int status = command.run(globals, out, err);
    const double total = ms(Clock::now() - start);
    const std::string printed = out.str();
    if (status != 0 || std::count(printed.begin(), printed.end(), '\n') != units) {
        std::fprintf(stderr, "%s%s", printed.c_str(), err.str().c_str());
        return -1;
    }
    return total;
}

int fleetBench(int units, int delayMs) {
    QTemporaryDir dir;
    const QString file = dir.filePath("mode408.dat");
    if (!ModeFileStore::saveRecordInFile(file, 1, randomRecord(7)).ok) return 1;
    for (const bool all : {true, false}) {
        const double one = fleetRun(1, file.toStdString(), all, delayMs);
        const double many = fleetRun(units, file.toStdString(), all, delayMs);
        if (one < 0 || many < 0) return 1;
        std::printf("download %s with verify, replies %d ms late: 1 unit %.1f ms, %d units %.1f ms, "
                    "ratio %.2f%s\n",
                    all ? "--all" : "--ip ...", delayMs, one, units, many, many / one,
                    all ? " (the search's 800 ms window included)" : "");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setTraceEnabled(false);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "read") return readBench(std::max(1, option(argc, argv, "--runs", 10)));
    if (mode == "search") return searchBench(std::clamp(option(argc, argv, "--units", 16), 1, 250));
    if (mode == "verify") return verifyBench(std::max(1, option(argc, argv, "--runs", 10)));
    if (mode == "fleet")
        return fleetBench(std::clamp(option(argc, argv, "--units", 16), 1, 250),
                          std::clamp(option(argc, argv, "--delay", 0), 0, 1000));
    std::fprintf(stderr, "usage: bench_transfer read [--runs N] | search [--units N] | verify [--runs N]"
                         " | fleet [--units N] [--delay MS]\n");
    return 2;
}
