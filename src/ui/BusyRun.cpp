// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ui/BusyRun.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <atomic>
#include <thread>

namespace qel {

namespace {

constexpr int kPollMs = 5;

// Runs loop without user input under a wait cursor.
void execBusy(QEventLoop& loop) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace

void runBusy(const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done.store(true, std::memory_order_release);
    });
    // The GUI thread looks for the end itself: nothing of Qt's crosses the threads.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done.load(std::memory_order_acquire)) loop.quit();
    });
    poll.start(kPollMs);
    execBusy(loop);
    worker.join();  // the loop also ends when the application quits
}

void pauseBusy(uint32_t ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
    execBusy(loop);
}

}  // namespace qel
