// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The application's start-up time and its memory with connected units.
//   bench_shell   (run with QT_QPA_PLATFORM=offscreen or on a display)
// Starts three simulated units in a child process, measures the time from process start to
// the main window shown, lets the start-up search find the units and connects all three
// (each connection opens its editor, as in the program). Reports the resident memory with the
// three editors open, and again after they were closed (the units stay connected).
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "editor/QelEquipmentDlg.h"
#include "shell/MainFrame.h"
#include "shell/QuellmarApp.h"
#include "shell/WindowPlacement.h"

namespace {

double secondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 0; i < 22 && stat >> field; ++i) {}
    const double start = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 - start;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kb = 0;
    while (status >> key)
        if (key == "VmRSS:" && status >> kb) break;
    return kb;
}

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace

int main(int argc, char** argv) {
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t sim = fork();
    if (sim == 0) {
        execl(QUELLMAR_UNITSIM, "quellmar-unitsim", "--unit", "QD206@127.81.0.2:A", "--unit",
              "QD406@127.81.0.3:B", "--unit", "QD408@127.81.0.4:C", static_cast<char*>(nullptr));
        _exit(127);
    }
    QApplication application(argc, argv);
    QTemporaryDir dir;
    // A later start that leaves this PC's adapters alone, with settings of its own.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings("Quellmar", "Quellmar").setValue("Quellmar_Once", "1");
    QSettings ini(dir.filePath("QelConfig.ini"), QSettings::IniFormat);
    ini.setValue("NetConfig/GateWay", "127.81.0.1");
    ini.setValue("NetConfig/AutoIP", "0");
    ini.sync();
    qel::CQuellmarApp::Options o;
    o.workDir = dir.path();
    o.lockDir = dir.path();
    o.localPort = 0;
    o.searchPort = 0;
    qel::CQuellmarApp app(o);
    app.acquireInstanceLock();
    qel::CMainFrame frame(app);
    frame.setWindowTitle(qel::CQuellmarApp::kTitle);
    qel::WindowPlacement::load(frame, app.configPath(), QRect(0, 0, 1920, 1080));
    while (!frame.windowHandle() || !frame.windowHandle()->isExposed()) pump(1);
    const double inProcess = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    const double sinceExec = secondsSinceProcessStart() * 1000;
    std::printf("start-up to main window shown: %.1f ms in main(), %.0f ms since the process started\n",
                inProcess, sinceExec);
    for (int i = 0; i < 100 && app.equipment().count() < 3; ++i) pump(50);
    const auto units = app.equipment().snapshot();
    for (const auto& unit : units) frame.openUnit(unit);
    pump(500);
    int online = 0;
    for (const auto& unit : units) online += unit->hasFlag(qel::linkflag::kParamsRead);
    std::printf("resident memory with %d editors open: %.1f MB\n", online, residentKb() / 1024.0);
    for (const auto& unit : units)
        if (auto* editor = frame.editorOf(*unit)) editor->close();
    pump(500);
    std::printf("resident memory with %d connected units, editors closed: %.1f MB\n", online,
                residentKb() / 1024.0);
    frame.close();
    kill(sim, SIGTERM);
    return online == 3 ? 0 : 1;
}
