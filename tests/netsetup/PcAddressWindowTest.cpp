// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "UnitSimulator.h"
#include "controls/MessageBoxes.h"
#include "netsetup/dialogs/IpAddressEdit.h"
#include "netsetup/dialogs/LocalAddressDlg.h"
#include "shell/MainFrame.h"
#include "shell/MyStatusBar.h"
#include "shell/QuellmarApp.h"
#include "support/FakeNetworkAdapters.h"
#include "support/Loopback.h"

using namespace qel;

// The main window's address step on a made-up PC with one wired adapter on 192.168.1.20, and
// one simulated unit on a loopback subnet.
class PcAddressWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
        setNetworkAdapters(&fake);
        setMessageBoxes(&boxes);
    }
    void cleanupTestCase() {
        setNetworkAdapters(nullptr);
        setMessageBoxes(nullptr);
    }
    void init() {
        fake.list = {{"lo", NetworkAdapter::Kind::Loopback, {"127.0.0.1"}, {}},
                     test::wired("eth0", {"192.168.1.20"}, "192.168.1.1")};
        fake.failChanges = false;
        fake.clearLog();
        work = std::make_unique<QTemporaryDir>();
        subnet = test::loopbackSubnet();
        sim = std::make_unique<sim::UnitSimulator>();
        QVERIFY(sim->addNetworkUnit(4, subnet + ".2", "Main") >= 0);
        QVERIFY(sim->start());
        QSettings ini(iniPath(), QSettings::IniFormat);
        for (int n = 1; n <= 16; ++n)
            ini.setValue(QString("SerialPorts/COM%1").arg(n), "/nonexistent");
        // Searches stay on loopback.
        ini.setValue("NetConfig/GateWay", QString::fromStdString(subnet + ".1"));
        CQuellmarApp::Options o;
        o.workDir = o.lockDir = work->path();
        o.localPort = o.searchPort = 0;
        o.progressPauseMs = 0;
        app = std::make_unique<CQuellmarApp>(o);
    }
    void cleanup() {
        frame.reset();
        app.reset();
        sim.reset();
    }

    void firstStartAsksForTheAddressesAndTheSearchUsesThem() {
        QSettings("Quellmar", "Quellmar").remove("Quellmar_Once");
        QSettings(iniPath(), QSettings::IniFormat).remove("NetConfig");
        QString shownLocal, shownGateway, keptGateway;
        onModalDialog([&](CLocalAddressDlg* dialog) {
            shownLocal = dialog->localIp()->text();
            shownGateway = dialog->gateway()->text();
            keptGateway = setting("NetConfig/GateWay");
            dialog->gateway()->setText(QString::fromStdString(subnet + ".1"));
            dialog->accept();
        });
        start();
        QTRY_COMPARE_WITH_TIMEOUT(app->equipment().count(), size_t{1}, 10000);
        QCOMPARE(shownLocal, QString("192.168.1.20"));
        QCOMPARE(shownGateway, QString("192.168.1.1"));
        QCOMPARE(keptGateway, QString("192.168.1.1"));  // written on opening
        QCOMPARE(setting("NetConfig/LocalIP"), QString("192.168.1.20"));
        QCOMPARE(setting("NetConfig/GateWay"), QString::fromStdString(subnet + ".1"));
        QCOMPARE(QSettings("Quellmar", "Quellmar").value("Quellmar_Once").toString(), QString("1"));
        QVERIFY(fake.log().empty());  // the first start changes no adapter

        // The menu item opens it again with the saved texts; cancel keeps them.
        onModalDialog([&](CLocalAddressDlg* dialog) {
            shownGateway = dialog->gateway()->text();
            dialog->localIp()->setText("10.9.9.9");
            dialog->reject();
        });
        QVERIFY(frame->action(command::kLocalAddress)->isEnabled());
        frame->action(command::kLocalAddress)->trigger();
        QCOMPARE(shownGateway, QString::fromStdString(subnet + ".1"));
        QCOMPARE(setting("NetConfig/LocalIP"), QString("192.168.1.20"));
    }

    void laterStartMovesTheAdapterAndExitPutsItBack() {
        QSettings("Quellmar", "Quellmar").setValue("Quellmar_Once", "4");
        start();
        QTRY_COMPARE_WITH_TIMEOUT(app->equipment().count(), size_t{1}, 10000);
        QCOMPARE(fake.log(), std::vector<std::string>{"add eth0 192.168.6.222/24"});
        QCOMPARE(setting("NetConfig/realIP"), QString("192.168.1.20"));
        QCOMPARE(setting("NetConfig/realWY"), QString("192.168.1.1"));
        QCOMPARE(QSettings("Quellmar", "Quellmar").value("Quellmar_Once").toString(), QString("5"));
        QVERIFY(frame->skinnedStatusBar()->paneText(0).isEmpty());
        frame->close();
        QCOMPARE(fake.log(), (std::vector<std::string>{"add eth0 192.168.6.222/24",
                                                       "remove eth0 192.168.6.222/24 nm"}));
    }

    void aRefusedChangeIsSaidInTheStatusBarAndAutomaticModeToggles() {
        QSettings("Quellmar", "Quellmar").setValue("Quellmar_Once", "1");
        fake.failChanges = true;
        start();
        QTRY_COMPARE_WITH_TIMEOUT(frame->skinnedStatusBar()->paneText(0),
                                  QString("未能把 PC 的网卡设到 192.168.6.x 网段"), 10000);
        QAction* autoIp = frame->action(command::kAutoIp);
        QVERIFY(autoIp->isChecked());
        autoIp->trigger();
        QCOMPARE(setting("NetConfig/AutoIP"), QString("0"));
        QVERIFY(!autoIp->isChecked());
        autoIp->trigger();
        QCOMPARE(setting("NetConfig/AutoIP"), QString("1"));
        QVERIFY(autoIp->isChecked());
        frame->close();
        QCOMPARE(fake.log(), std::vector<std::string>{"add eth0 192.168.6.222/24"});
    }

    void automaticModeOffLeavesTheAdapterAlone() {
        QSettings("Quellmar", "Quellmar").setValue("Quellmar_Once", "1");
        QSettings(iniPath(), QSettings::IniFormat).setValue("NetConfig/AutoIP", "0");
        start();
        QTest::qWait(1500);  // the start-up search is over
        frame->close();
        QVERIFY(fake.log().empty());
    }

private:
    QString iniPath() const { return work->filePath("QelConfig.ini"); }
    QString setting(const char* key) const {
        return QSettings(iniPath(), QSettings::IniFormat).value(key).toString();
    }
    void start() {
        frame = std::make_unique<CMainFrame>(*app);
        frame->show();
    }
    // Runs f on the next address dialog that opens modally.
    void onModalDialog(std::function<void(CLocalAddressDlg*)> f) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [timer, f] {
            if (auto* d = qobject_cast<CLocalAddressDlg*>(QApplication::activeModalWidget())) {
                timer->stop();
                timer->deleteLater();
                f(d);
            }
        });
        timer->start(20);
    }

    QTemporaryDir profile;
    test::FakeNetworkAdapters fake;
    ScriptedMessageBoxes boxes;
    std::unique_ptr<QTemporaryDir> work;
    std::string subnet;
    std::unique_ptr<sim::UnitSimulator> sim;
    std::unique_ptr<CQuellmarApp> app;
    std::unique_ptr<CMainFrame> frame;
};

QTEST_MAIN(PcAddressWindowTest)
#include "PcAddressWindowTest.moc"
