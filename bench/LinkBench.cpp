// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Link engine benchmarks.
//   bench_link latency [--units N] [--samples M]   enqueue of one write -> datagram at the peer
//   bench_link idle [--units N] [--seconds S]      process CPU with N idle connected units
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/Equipment.h"
#include "link/Packet.h"
#include "link/UdpEndpoint.h"
#include "platform/Waker.h"

using namespace qel;
using Clock = std::chrono::steady_clock;

namespace {

// A loopback peer standing in for a unit: notes when each frame arrives and answers it.
class Peer {
public:
    explicit Peer(Ipv4 address, uint16_t port) {
        if (!socket_.open(address, port)) std::fprintf(stderr, "%s\n", socket_.lastError().c_str());
        thread_ = std::thread([this] { loop(); });
    }
    ~Peer() {
        stop_.wake();
        thread_.join();
    }
    std::atomic<int64_t> lastArrivalNs{0};
    std::atomic<int> frames{0};

private:
    void loop() {
        uint8_t buf[256];
        for (;;) {
            pollfd p[2] = {{socket_.fd(), POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
            ::poll(p, 2, -1);
            if (p[1].revents) return;
            Ipv4 from = 0;
            uint16_t port = 0;
            const long n = socket_.receiveFrom(buf, sizeof buf, &from, &port);
            if (n < 10) continue;
            lastArrivalNs.store(Clock::now().time_since_epoch().count());
            frames.fetch_add(1);
            buf[5] |= 1;
            socket_.sendTo(from, port, buf, static_cast<size_t>(n));
        }
    }
    UdpSocket socket_;
    Waker stop_;
    std::thread thread_;
};

struct Rig {
    UdpEndpoint endpoint;
    std::vector<std::unique_ptr<Peer>> peers;
    std::vector<std::unique_ptr<Equipment>> units;
    uint16_t unitPort = 19840;

    bool setUp(int count) {
        if (!endpoint.open(0)) return false;
        LinkSettings s;
        s.endpoint = &endpoint;
        s.unitPort = unitPort;
        for (int i = 0; i < count; ++i) {
            const Ipv4 a = ipv4FromOctets(127, 77, 0, static_cast<uint8_t>(2 + i));
            peers.push_back(std::make_unique<Peer>(a, unitPort));
            auto u = std::make_unique<Equipment>();
            u->setAddress(a);
            u->setFlags(linkflag::kUdp);
            if (!u->startLink(s)) return false;
            units.push_back(std::move(u));
        }
        return true;
    }
};

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 2; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], name)) return std::atoi(argv[i + 1]);
    return fallback;
}

int latency(int units, int samples) {
    Rig rig;
    if (!rig.setUp(units)) return 1;
    std::vector<double> us;
    uint8_t payload[2] = {0, 0};
    for (int i = 0; i < samples; ++i) {
        const size_t k = static_cast<size_t>(i % units);
        Peer& peer = *rig.peers[k];
        const int before = peer.frames.load();
        payload[0] = static_cast<uint8_t>(i);
        const auto start = Clock::now();
        const Ticket t = rig.units[k]->enqueue(op::kWrite, block::kOutput, 2, 0x01, payload, 2,
                                               nullptr, 0, 4, 400);
        while (peer.frames.load() == before) std::this_thread::yield();
        const auto arrival = Clock::time_point(Clock::duration(peer.lastArrivalNs.load()));
        us.push_back(std::chrono::duration<double, std::micro>(arrival - start).count());
        rig.units[k]->waitFor(t);
        std::this_thread::sleep_for(std::chrono::microseconds(500 + (i * 37) % 1000));
    }
    std::sort(us.begin(), us.end());
    auto pct = [&](double p) { return us[static_cast<size_t>(p * (us.size() - 1))]; };
    std::printf("edit-to-wire units=%d samples=%d p50=%.3f ms p99=%.3f ms max=%.3f ms\n", units,
                samples, pct(0.50) / 1000, pct(0.99) / 1000, us.back() / 1000);
    return 0;
}

double cpuSeconds() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

int idle(int units, int seconds) {
    Rig rig;
    if (!rig.setUp(units)) return 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const double cpu0 = cpuSeconds();
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double cpu = cpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("idle units=%d seconds=%.1f cpu=%.3f s -> %.3f %% of one core, %.4f %% per unit\n",
                units, wall, cpu, 100 * cpu / wall, 100 * cpu / wall / units);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int units = std::max(1, option(argc, argv, "--units", 1));
    if (mode == "latency") return latency(units, option(argc, argv, "--samples", 2000));
    if (mode == "idle") return idle(units, option(argc, argv, "--seconds", 10));
    std::fprintf(stderr, "usage: bench_link latency|idle [--units N] [--samples M] [--seconds S]\n");
    return 2;
}
