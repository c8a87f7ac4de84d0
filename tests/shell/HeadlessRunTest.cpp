// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

#include "link/UdpEndpoint.h"
#include "shell/QuellmarApp.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"

using namespace qel;

// The program run from outside without anyone at the screen: what it says and how it ends.
class HeadlessRunTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        temp = std::make_unique<QTemporaryDir>();  // each case starts afresh
        QVERIFY(temp->isValid());
        const QDir dir(temp->path());
        work = dir.filePath("work");
        locks = dir.filePath("locks");
        shot = dir.filePath("shot.png");
        QVERIFY(QDir().mkpath(work) && QDir().mkpath(locks));
        QFile::setPermissions(locks, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSettings ini(work + "/QelConfig.ini", QSettings::IniFormat);
        ini.setValue("NetConfig/GateWay", QString::fromStdString(test::loopbackSubnet() + ".1"));
        ini.setValue("NetConfig/AutoIP", "0");
        for (int n = 1; n <= 16; ++n)
            ini.setValue(QString("SerialPorts/COM%1").arg(n), "/nonexistent");
        ini.sync();
        // A later start (no address window) with settings of its own.
        QSettings(dir.filePath("config/Quellmar/Quellmar.conf"), QSettings::IniFormat)
            .setValue("Quellmar_Once", "1");
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        qputenv("XDG_RUNTIME_DIR", locks.toUtf8());
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    void aBoxOfAScreenshotRunEndsItWithTheBoxText() {
        UdpEndpoint taken;  // the program's UDP port is in use
        QVERIFY(taken.open(0));
        const auto r = run({"--local-port", std::to_string(taken.localPort()), "--screenshot",
                            shot.toStdString()});
        QCOMPARE(r.exitCode, 1);
        const QString expected = QString("错误: UDP 端口 %1 被占用 !").arg(taken.localPort());
        QVERIFY2(QString::fromStdString(r.err).contains(expected), r.err.c_str());
        QVERIFY(!QFile::exists(shot));
    }

    void sigtermEndsTheProgramWhileTheStartWaitsForABox() {
        UdpEndpoint taken;
        QVERIFY(taken.open(0));
        std::thread killer;
        QElapsedTimer clock;
        clock.start();
        const auto r = run({"--local-port", std::to_string(taken.localPort())}, [&](pid_t pid) {
            killer = std::thread([pid] {
                QThread::msleep(1500);  // the box of the port in use is up by then
                ::kill(pid, SIGTERM);
            });
        });
        killer.join();
        QCOMPARE(r.exitCode, 0);
        QVERIFY(clock.elapsed() < kLimitMs);
    }

    void aUnitToOpenThatIsNotFoundIsNamedAndFails() {
        const auto r = run({"--connect", "9", "--screenshot", shot.toStdString()});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(QString::fromStdString(r.err).contains("没有找到要打开的设备 9。"), r.err.c_str());
        QVERIFY(!QFile::exists(shot));
    }

    void aSecondCopySaysThatQuellmarRunsAndFails() {
        CQuellmarApp::Options o;
        o.workDir = work;
        o.lockDir = locks;
        CQuellmarApp first(o);
        QVERIFY(first.acquireInstanceLock());
        for (const bool screenshot : {false, true}) {
            std::vector<std::string> args;
            if (screenshot) args = {"--screenshot", shot.toStdString()};
            const auto r = run(args);
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(QString::fromStdString(r.err).contains("Quellmar 已经在运行。"),
                     r.err.c_str());
            QVERIFY(!QFile::exists(shot));
            QVERIFY(!QFile::exists(work + "/mode408.dat"));  // never got as far
        }
    }

    void aScreenshotRunWithoutBoxesSavesThePicture() {
        const auto r = run({"--screenshot", shot.toStdString()});
        QVERIFY2(r.exitCode == 0, r.err.c_str());
        QVERIFY(!QImage(shot).isNull());
    }

private:
    static constexpr int kLimitMs = 20000;

    test::ProcessResult run(std::vector<std::string> args,
                            const std::function<void(pid_t)>& started = {}) {
        std::vector<std::string> argv = {QUELLMAR_APP, "--search-port", "0", "--work-dir",
                                         work.toStdString()};
        if (std::find(args.begin(), args.end(), "--local-port") == args.end())
            argv.insert(argv.end(), {"--local-port", "0"});
        argv.insert(argv.end(), args.begin(), args.end());
        return test::runProcess(argv, kLimitMs, started);
    }

    std::unique_ptr<QTemporaryDir> temp;
    QString work, locks, shot;
};

QTEST_MAIN(HeadlessRunTest)
#include "HeadlessRunTest.moc"
