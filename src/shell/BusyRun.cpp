#include "shell/BusyRun.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <thread>

namespace qel {

namespace {

// Runs loop without user input under a wait cursor.
void execBusy(QEventLoop& loop) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace

void runBusy(const std::function<void()>& work) {
    QEventLoop loop;
    std::thread worker([&] {
        work();
        // Queued, so a quit posted before the loop starts still ends it.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    execBusy(loop);
    worker.join();  // the loop also ends when the application quits
}

void pauseBusy(uint32_t ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
    execBusy(loop);
}

}  // namespace qel
