// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The editor under a fader drag, and its CPU with the meters running.
//   bench_editor   (QT_QPA_PLATFORM=offscreen or on a display)
// 1. Sixteen simulated units, each connected with its editor shown and meters polling. On the
//    first unit's gain page the input A fader is dragged for 2 s with a mouse event every 5 ms
//    (20 drags). Reported: gain commands that reached the unit per drag, and the time from the
//    button release to the unit holding the final value (median and p90).
// 2. quellmar in a child process with one editor open (--connect 1) against a simulated unit:
//    its CPU time over 10 s, as a share of one core.
// 3. A/B: slots that differ in 10 output EQ points; the time from pressing the switch to the
//    unit holding all ten points of the other slot (20 switches, meters polling).
//   bench_editor [drag|cpu|ab]   (default: all three)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "UnitSimulator.h"
#include "controls/QelGain.h"
#include "device/EditHistory.h"
#include "editor/EditorPage.h"
#include "editor/QelEquipmentDlg.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "support/EditorRig.h"

using namespace qel;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kUnits = 16, kDrags = 20, kDragMs = 2000, kEventMs = 5;

void pump(int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

int gainWrites(sim::UnitSimulator& sim) {
    int n = 0;
    for (const auto& r : sim.requests(0)) n += r.frame[5] == 0x12 && r.frame[9] == 0x01;
    return n;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

void dragBenchmark() {
    sim::UnitSimulator sim;
    for (int u = 0; u < kUnits; ++u)
        sim.addNetworkUnit(4, "127.83.0." + std::to_string(2 + u), "U");
    if (!sim.start()) return void(std::printf("simulator: %s\n", sim.lastError().c_str()));
    UdpEndpoint endpoint;
    endpoint.open(0);
    LinkSettings link;
    link.endpoint = &endpoint;
    std::vector<std::shared_ptr<Equipment>> units;
    test::TestEditorHost host(link);
    std::vector<std::unique_ptr<CQelEquipmentDlg>> editors;
    for (int u = 0; u < kUnits; ++u) {
        auto e = std::make_shared<Equipment>();
        e->setAddress(*parseIpv4("127.83.0." + std::to_string(2 + u)));
        e->setFlags(linkflag::kUdp);
        e->setModelCode(4);
        e->setImage(std::make_shared<ModeImage>());
        e->startLink(link);
        units.push_back(e);
        editors.push_back(test::openEditor(e, host, MeterPoller::Timing{}));
        editors.back()->show();
    }
    pump(1000);
    auto* fader = editors[0]->page(CQelEquipmentDlg::kGain)->findChild<CQelGain*>();
    std::vector<double> commands, latencies;
    for (int d = 0; d < kDrags; ++d) {
        const int before = gainWrites(sim);
        const QPoint knob(CQelFader::kKnobX + 8, fader->knobY() + 9);
        QTest::mousePress(fader, Qt::LeftButton, {}, knob);
        const auto start = Clock::now();
        int step = 0;
        while (Clock::now() - start < std::chrono::milliseconds(kDragMs)) {
            // Up and down across most of the track.
            const int y = 40 + (step * 3) % 200;
            QMouseEvent move(QEvent::MouseMove, QPointF(knob.x(), y),
                             fader->mapToGlobal(QPointF(knob.x(), y)), Qt::NoButton, Qt::LeftButton,
                             {});
            QApplication::sendEvent(fader, &move);
            ++step;
            pump(kEventMs);
        }
        const QPoint end(knob.x(), 60 + d * 7);
        QMouseEvent last(QEvent::MouseMove, end, fader->mapToGlobal(end), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(fader, &last);
        QTest::mouseRelease(fader, Qt::LeftButton, {}, end);
        const auto released = Clock::now();
        const auto want = static_cast<uint8_t>(fader->code());
        while (sim.state(0).params.in[0].gain != want &&
               Clock::now() - released < std::chrono::seconds(3))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        latencies.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - released).count());
        pump(300);
        commands.push_back(gainWrites(sim) - before);
    }
    std::printf("fader drag of %d ms, events every %d ms, %d units connected, %d drags\n", kDragMs,
                kEventMs, kUnits, kDrags);
    std::printf("  gain commands at the unit per drag: median %.0f, min %.0f, max %.0f\n",
                percentile(commands, 0.5), percentile(commands, 0), percentile(commands, 1));
    std::printf("  release to final value at the unit: p50 %.2f ms, p90 %.2f ms, max %.2f ms\n",
                percentile(latencies, 0.5), percentile(latencies, 0.9), percentile(latencies, 1));
    editors.clear();
    for (auto& u : units) u->stopLink();
}

double cpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    long ticks = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i)
        if (i == 14 || i == 15) ticks += std::stol(field);
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

pid_t spawn(const std::vector<std::string>& argv) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> a;
        for (const auto& s : argv) a.push_back(const_cast<char*>(s.c_str()));
        a.push_back(nullptr);
        execv(a[0], a.data());
        _exit(127);
    }
    return pid;
}

void cpuBenchmark() {
    QTemporaryDir dir;
    {
        std::ofstream ini(dir.filePath("QelConfig.ini").toStdString());
        ini << "[NetConfig]\nGateWay=127.84.0.1\nAutoIP=0\n[SerialPorts]\n";
        for (int n = 1; n <= 16; ++n) ini << "COM" << n << "=/nonexistent\n";
    }
    const pid_t sim = spawn({QUELLMAR_UNITSIM, "--unit", "QD408@127.84.0.2:Main"});
    usleep(300000);
    setenv("XDG_RUNTIME_DIR", dir.path().toUtf8().constData(), 1);
    setenv("XDG_CONFIG_HOME", dir.path().toUtf8().constData(), 1);
    {
        QDir().mkpath(dir.filePath("Quellmar"));
        std::ofstream once(dir.filePath("Quellmar/Quellmar.conf").toStdString());
        once << "[General]\nQuellmar_Once=1\n";
    }
    const pid_t app = spawn({QUELLMAR_APP, "--work-dir", dir.path().toStdString(), "--local-port",
                             "0", "--search-port", "0", "--connect", "1"});
    sleep(6);  // search, connection, editor shown
    const double c0 = cpuSeconds(app);
    const auto t0 = Clock::now();
    sleep(10);
    const double used = cpuSeconds(app) - c0;
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("quellmar with one editor open and meters running: %.2f %% of a core over %.1f s\n",
                100.0 * used / wall, wall);
    kill(app, SIGTERM);
    waitpid(app, nullptr, 0);
    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);
}

void abBenchmark() {
    constexpr int kSwitches = 20, kPoints = 10;
    sim::UnitSimulator sim;
    sim.addNetworkUnit(4, "127.83.1.2", "U");
    if (!sim.start()) return void(std::printf("simulator: %s\n", sim.lastError().c_str()));
    UdpEndpoint endpoint;
    endpoint.open(0);
    LinkSettings link;
    link.endpoint = &endpoint;
    auto unit = std::make_shared<Equipment>();
    unit->setAddress(*parseIpv4("127.83.1.2"));
    unit->setFlags(linkflag::kUdp);
    unit->setModelCode(4);
    unit->setImage(std::make_shared<ModeImage>());
    unit->startLink(link);
    test::TestEditorHost host(link);
    auto editor = test::openEditor(unit, host, MeterPoller::Timing{});
    editor->show();
    pump(1000);
    EditHistory& history = editor->history();
    history.store(EditHistory::kA);
    for (int i = 0; i < kPoints; ++i) {
        EqPoint p = editor->edit().image().record().output(i % 8).point(i / 8);
        p.gain = static_cast<uint8_t>(p.gain + 20 + i);
        editor->edit().setEqPoint(cmd::outputChannel(i % 8 + 1), i / 8, p);
    }
    history.store(EditHistory::kB);
    pump(500);
    // The unit holds the ten points of the record the editor now shows.
    const auto unitHolds = [&] {
        const ModeRecord& r = editor->edit().image().record();
        const auto state = sim.state(0);
        for (int i = 0; i < kPoints; ++i)
            if (state.params.out[i % 8].eq[i / 8][2] != r.output(i % 8).point(i / 8).gain)
                return false;
        return true;
    };
    std::vector<double> times;
    for (int n = 0; n < kSwitches; ++n) {
        const auto start = Clock::now();
        history.switchAb();
        while (!unitHolds() && Clock::now() - start < std::chrono::seconds(3))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        pump(200);
    }
    std::printf(
        "A/B switch of %d EQ points to the unit (%d switches, meters polling): "
        "p50 %.2f ms, p90 %.2f ms, max %.2f ms\n",
        kPoints, kSwitches, percentile(times, 0.5), percentile(times, 0.9), percentile(times, 1));
    editor.reset();
    unit->stopLink();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::string only = argc > 1 ? argv[1] : "";
    if (only.empty() || only == "drag") dragBenchmark();
    if (only.empty() || only == "ab") abBenchmark();
    if (only.empty() || only == "cpu") cpuBenchmark();
    return 0;
}
