// Connection and search benchmarks against the in-process simulator.
//   bench_transfer read [--runs N]          connect + full read of a QD408 vs. its floor
//   bench_transfer search [--units N]       one search over N simulated network units
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "UnitSimulator.h"
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

}  // namespace

int main(int argc, char** argv) {
    setTraceOutput(nullptr);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "read") return readBench(std::max(1, option(argc, argv, "--runs", 10)));
    if (mode == "search") return searchBench(std::clamp(option(argc, argv, "--units", 16), 1, 250));
    std::fprintf(stderr, "usage: bench_transfer read [--runs N] | search [--units N]\n");
    return 2;
}
