// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The OSC server: a set to the command at the unit, a subscriber's feedback after a desktop
// edit, and the CPU that meters to 8 subscribers cost.
//   bench_osc [--samples N] [--seconds S]
// In one process: a simulated QD408 on loopback, connected and read as `serve` does, the hub
// with its OSC server on 127.0.0.1 and plain UDP sockets as senders and subscribers (packets
// made by liblo). Measured on the steady clock:
//  - set: from the sender's sendto of /quellmar/unit/Bench/in/A/gain f to the simulator's
//    receive of the gain write (sets 60-90 ms apart, so none merges with the one before);
//  - feedback: from a desktop edit (ParamEdit::setGain with the editor's origin) to the
//    subscriber's socket having the value;
//  - meters: CPU of the GUI thread and of the whole process (which holds the simulator and
//    the meter poller too) over S seconds with 8 subscribers at 20 meters a second, less the
//    same with none.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <lo/lo.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "HubBenchRig.h"
#include "UnitSimulator.h"
#include "cli/ServeHost.h"
#include "cli/Session.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "remote/OscServer.h"
#include "remote/RemoteHub.h"

using namespace qel;
using namespace qel::bench;

namespace {

// A UDP socket on 127.0.0.1 that sends packets liblo made to the server.
struct Peer {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_in to{};
    explicit Peer(quint16 serverPort) {
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
        to = at;
        to.sin_port = htons(serverPort);
    }
    ~Peer() { ::close(fd); }
    void send(const char* path, lo_message m) {
        size_t size = 0;
        void* data = lo_message_serialise(m, path, nullptr, &size);
        ::sendto(fd, data, size, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        free(data);
    }
    void subscribe(int rate) {
        lo_message m = lo_message_new();
        lo_message_add_int32(m, rate);
        send("/quellmar/subscribe", m);
        lo_message_free(m);
    }
    // Reads what came; true when something did.
    bool drain() {
        char buffer[2048];
        bool any = false;
        while (::recv(fd, buffer, sizeof buffer, 0) > 0) any = true;
        return any;
    }
};

// CPU of the GUI thread and of the process over ms, in % of one core; the event loop waits
// as a program's does.
std::pair<double, double> cpuOver(int ms, const std::function<void()>& renew) {
    const int64_t thread = cpuNs(CLOCK_THREAD_CPUTIME_ID),
                  process = cpuNs(CLOCK_PROCESS_CPUTIME_ID);
    const int64_t start = nowNs();
    for (int done = 0; done < ms; done += 1000) {
        renew();
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double wall = double(nowNs() - start);
    return {100.0 * double(cpuNs(CLOCK_THREAD_CPUTIME_ID) - thread) / wall,
            100.0 * double(cpuNs(CLOCK_PROCESS_CPUTIME_ID) - process) / wall};
}

}  // namespace

int main(int argc, char** argv) {
    int samples = 300, seconds = 10;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--samples")) samples = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--seconds")) seconds = std::max(1, std::atoi(argv[i + 1]));
    }
    QCoreApplication app(argc, argv);
    UnitRig rig;
    if (!rig.connect("127.86.0.3")) return 1;
    cli::ServeHost host({rig.unit}, rig.link);
    RemoteHub hub(host, rig.dir.filePath("QelConfig.ini"));
    OscServer::Settings settings;
    settings.port = 0;
    if (!hub.osc().start(settings)) return std::fprintf(stderr, "no OSC server\n"), 1;
    const quint16 port = hub.osc().port();
    ParamEdit& edit = *host.editOf(*rig.unit);

    // A set to the command at the unit.
    Peer sender(port);
    std::vector<double> sets;
    for (int i = 0; i < samples; ++i) {
        rig.sim.clearRequests(0);
        lo_message m = lo_message_new();
        lo_message_add_float(m, float(-20 + (i % 40) * 0.5));
        const int64_t sentNs = nowNs();
        sender.send("/quellmar/unit/Bench/in/A/gain", m);
        lo_message_free(m);
        if (!pumpUntil([&] { return !gainWrites(rig.sim).empty(); }, 2000))
            return std::fprintf(stderr, "set %d never reached the unit\n", i), 1;
        sets.push_back(double(gainWrites(rig.sim).back() - sentNs) / 1e6);
        pump(60 + (i * 7) % 31);
    }
    std::printf(
        "OSC set -> gain write at the unit, samples=%d: p50=%.3f ms p99=%.3f ms "
        "max=%.3f ms\n",
        samples, pct(sets, 0.5), pct(sets, 0.99), pct(sets, 1));

    // A desktop edit to the subscriber's socket.
    Peer subscriber(port);
    subscriber.subscribe(0);
    if (!pumpUntil([&] { return hub.osc().subscribers() == 1; }, 2000))
        return std::fprintf(stderr, "no subscription\n"), 1;
    std::vector<double> feedback;
    for (int i = 0; i < samples; ++i) {
        if (i % 100 == 0) subscriber.subscribe(0);  // renewed well before its 10 s
        pump(20);
        subscriber.drain();
        const int64_t editNs = nowNs();
        edit.setGain(cmd::outputChannel(1 + i % 8), uint8_t(60 + i % 40));
        int64_t heardNs = 0;
        if (!pumpUntil(
                [&] {
                    if (subscriber.drain()) heardNs = nowNs();
                    return heardNs != 0;
                },
                2000))
            return std::fprintf(stderr, "edit %d was not told\n", i), 1;
        feedback.push_back(double(heardNs - editNs) / 1e6);
    }
    std::printf(
        "desktop edit -> subscriber's socket, samples=%d: p50=%.3f ms p99=%.3f ms "
        "max=%.3f ms\n",
        samples, pct(feedback, 0.5), pct(feedback, 0.99), pct(feedback, 1));
    pumpUntil([&] { return hub.osc().subscribers() == 0; }, 11000);  // it ends

    // Meters to 8 subscribers at 20 a second, against none.
    const auto idle = cpuOver(seconds * 1000, [] {});
    std::vector<std::unique_ptr<Peer>> watchers;
    for (int i = 0; i < 8; ++i) watchers.push_back(std::make_unique<Peer>(port));
    int renewed = 0;
    const auto watched = cpuOver(seconds * 1000, [&] {
        if (renewed++ % 5 == 0)
            for (auto& w : watchers) w->subscribe(OscServer::kMaxMeterRate);
        for (auto& w : watchers) w->drain();
    });
    std::printf(
        "meters, %d s each: none: GUI thread %.2f %%, process %.2f %% of a core; "
        "8 subscribers at 20/s (%d): GUI thread %.2f %%, process %.2f %%; above none: "
        "GUI thread %.2f %%, process %.2f %%\n",
        seconds, idle.first, idle.second, hub.osc().subscribers(), watched.first, watched.second,
        watched.first - idle.first, watched.second - idle.second);
    return 0;
}
