// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "UnitSimulator.h"
#include "controls/MessageBoxes.h"
#include "editor/PresetTransfer.h"
#include "editor/QelEquipmentDlg.h"
#include "shell/AlarmsDlg.h"
#include "shell/MainFrame.h"
#include "shell/MyStatusBar.h"
#include "shell/QelBarEq.h"
#include "shell/QelEqMgr.h"
#include "shell/QelEqPanel.h"
#include "shell/QuellmarApp.h"
#include "support/FakeNetworkAdapters.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"
#include "ui/QelConnectDlg.h"

using namespace qel;

// The main window against two simulated network units in a temporary work folder.
class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QStandardPaths::setTestModeEnabled(true);
        setMessageBoxes(&boxes);
        // A later start (no address dialog) on a PC without adapters to move.
        QSettings("Quellmar", "Quellmar").setValue("Quellmar_Once", "1");
        setNetworkAdapters(&adapters);
        QVERIFY(dir.isValid());
        subnet = test::loopbackSubnet();
        sim = std::make_unique<sim::UnitSimulator>();
        QVERIFY(sim->addNetworkUnit(4, subnet + ".2", "Main") >= 0);
        QVERIFY(sim->addNetworkUnit(2, subnet + ".3", "Fill") >= 0);
        QVERIFY(sim->start());
        QSettings ini(dir.filePath("QelConfig.ini"), QSettings::IniFormat);
        ini.setValue("NetConfig/GateWay", QString::fromStdString(subnet + ".1"));
        for (int n = 1; n <= 16; ++n)
            ini.setValue(QString("SerialPorts/COM%1").arg(n), "/nonexistent");
        ini.sync();
        CQuellmarApp::Options o;
        o.workDir = dir.path();
        o.lockDir = dir.path();
        o.localPort = 0;
        o.searchPort = 0;
        o.progressPauseMs = 0;
        app = std::make_unique<CQuellmarApp>(o);
        frame = std::make_unique<CMainFrame>(*app);
        frame->show();
    }
    void cleanup() {
        frame.reset();
        app.reset();
        sim.reset();
        setMessageBoxes(nullptr);
        setNetworkAdapters(nullptr);
        boxes = ScriptedMessageBoxes();
    }

    void startUpSearchListsTheUnitsOnce() {
        QTRY_COMPARE_WITH_TIMEOUT(app->equipment().count(), size_t{2}, 5000);
        QTest::qWait(500);
        QCOMPARE(app->equipment().count(), size_t{2});  // the timer ran once
        QVERIFY(!frame->action(command::kSearchTool)->icon().isNull());
        for (int id : {command::kNetwork, command::kNetworkTool, command::kLocalAddress,
                       command::kUsbDriver})
            QVERIFY(frame->action(id)->isEnabled());
        for (const char* mode : {"mode206.dat", "mode406.dat", "mode408.dat"})
            QVERIFY(QFile::exists(dir.filePath(mode)));
    }

    void quickSecondPressConnectsAndDisconnectAsks() {
        QTRY_COMPARE_WITH_TIMEOUT(app->equipment().count(), size_t{2}, 5000);
        CQelEqMgr* list = frame->equipmentPanel()->dialog()->equipmentPage()->list();
        const QPoint row0(60, 25);
        QTest::mouseClick(list, Qt::LeftButton, {}, row0);
        QTest::mouseClick(list, Qt::LeftButton, {}, row0);  // within 250 ms: opens
        auto unit = app->equipment().at(0);
        QTRY_VERIFY_WITH_TIMEOUT(unit->hasFlag(linkflag::kParamsRead), 5000);
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("状态:在线 (UDP)"));
        QCOMPARE(frame->activeUnit(), unit);
        QCOMPARE(frame->activeEditor(), frame->editorOf(*unit));  // the presets act on it
        CMyStatusBar* status = frame->skinnedStatusBar();
        emit frame->editorOf(*unit)->activated(frame->editorOf(*unit));
        QCOMPARE(status->paneText(1), QString("名称: Main (QD408)"));  // without the padding
        QCOMPARE(status->paneText(2), QString("状态:在线"));
        boxes.answer(MsgAnswer::No);
        frame->disconnectActive();
        QVERIFY(unit->linkRunning() && unit->hasFlag(linkflag::kParamsRead));
        boxes.answer(MsgAnswer::Yes);
        frame->disconnectActive();
        QTest::qWait(3 * CQelEquipmentDlg::kTimerMs);  // the editor's timer looks at the link
        // The user's own disconnect is not reported as a lost link.
        QCOMPARE(boxes.shown().size(), size_t{2});
        QCOMPARE(boxes.shown()[1].text, QString("您确定要断开当前连接的设备吗 ?"));
        QCOMPARE(boxes.shown()[1].buttons, MsgButtons::YesNoCancel);
        QVERIFY(!frame->editorOf(*unit));  // it went with the unit's session
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("状态:断开 (UDP)"));
        QCOMPARE(status->paneText(1), QString("名称: -"));
        QCOMPARE(status->paneText(2), QString("状态:-"));
        QVERIFY(!unit->linkRunning());
        const auto requests = sim->requests(0);
        QCOMPARE(requests.back().frame[9], uint8_t{0x00});  // the notice reached the unit
        frame->disconnectActive();                          // nothing connected any more
        QCOMPARE(boxes.shown().back().text, QString("没有选中被连接的设备!"));
        boxes.clear();
        frame->action(command::kImportPreset)->trigger();  // no editor: no file window
        QCOMPARE(boxes.shown().size(), size_t{1});
        QCOMPARE(boxes.shown().back().text, QString("没有选中被连接的设备!"));
    }

    // The status bar says what the list says of the active unit: silent, then lost.
    void theStatusBarFollowsTheLink() {
        QTRY_COMPARE_WITH_TIMEOUT(app->equipment().count(), size_t{2}, 5000);
        auto unit = app->equipment().at(0);
        frame->openUnit(unit);
        QVERIFY(unit->hasFlag(linkflag::kParamsRead));
        CQelEquipmentDlg* editor = frame->editorOf(*unit);
        emit editor->activated(editor);
        const CMyStatusBar* status = frame->skinnedStatusBar();
        QCOMPARE(status->paneText(2), QString("状态:在线"));
        sim->setSilenced(0, true);
        QTRY_COMPARE_WITH_TIMEOUT(status->paneText(2), QString("状态:无响应"), 5000);
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("状态:无响应 (UDP)"));
        QTRY_VERIFY_WITH_TIMEOUT(!unit->linkRunning() || unit->hasFlag(linkflag::kStop), 20000);
        QTRY_COMPARE(status->paneText(2), QString("状态:断开"));
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("状态:断开 (UDP)"));
        QCOMPARE(status->paneText(1), QString("名称: Main (QD408)"));  // still the unit's
    }

    // A unit that stops answering: its alarm shows in a flashing red pane and a red row,
    // is acknowledged in the alarms window (the pane stays, steady) and goes when the unit
    // answers again. The window's settings are kept in QelConfig.ini.
    void anAlarmShowsInTheStatusBarAndTheList() {
        QTRY_COMPARE_WITH_TIMEOUT(app->equipment().count(), size_t{2}, 5000);
        AlarmSettings settings;
        settings.link.seconds = 0.5;
        QVERIFY(app->alarms().setSettings(settings));
        auto unit = app->equipment().at(0);
        frame->openUnit(unit);
        QVERIFY(unit->hasFlag(linkflag::kParamsRead));
        CMyStatusBar* status = frame->skinnedStatusBar();
        QVERIFY(status->alarmRect().isEmpty());
        sim->setSilenced(0, true);
        QTRY_COMPARE_WITH_TIMEOUT(status->alarmText(), QString("报警 1 (新 1)"), 10000);
        QVERIFY(status->alarmFlashing());
        const QRect pane = status->alarmRect();
        QVERIFY(pane.right() < status->width() - CMyStatusBar::kGripWidth);
        QVERIFY(status->paneRect(4).right() < pane.left());
        CQelEqMgr* list = frame->equipmentPanel()->dialog()->equipmentPage()->list();
        const QRect row = CQelEqMgr::rowRect(0, list->width());
        QCOMPARE(list->grab().toImage().pixelColor(row.topLeft() + QPoint(1, 1)),
                 CQelEqMgr::alarmColour());

        AlarmsDlg* window = frame->openAlarms();
        QCOMPARE(window->list()->topLevelItemCount(), 1);
        QCOMPARE(window->list()->topLevelItem(0)->text(2), QString("设备无响应"));
        window->findChild<QPushButton*>("Qel.AlarmAckAll")->click();
        QCOMPARE(status->alarmText(), QString("报警 1"));
        QVERIFY(!status->alarmFlashing());
        QCOMPARE(window->list()->topLevelItem(0)->text(4), QString("已确认"));
        window->close();
        QTest::mouseClick(status, Qt::LeftButton, {}, status->alarmRect().center());
        QVERIFY(window->isVisible());

        sim->setSilenced(0, false);
        QTRY_VERIFY_WITH_TIMEOUT(status->alarmRect().isEmpty(), 20000);
        QCOMPARE(window->list()->topLevelItemCount(), 0);
        QVERIFY(list->grab().toImage().pixelColor(row.topLeft() + QPoint(1, 1)) !=
                CQelEqMgr::alarmColour());

        window->findChild<QCheckBox*>()->setChecked(false);  // the link alarm
        window->findChild<QPushButton*>("Qel.AlarmApply")->click();
        QVERIFY(window->problemLabel()->text().isEmpty());
        QVERIFY(!app->alarms().settings().link.on);
        QCOMPARE(AlarmSettings::load(app->configPath()), app->alarms().settings());
    }

    void theUnitsNameAndModeAreShownAsTheUnitHasThem() {
        QTRY_COMPARE_WITH_TIMEOUT(app->equipment().count(), size_t{2}, 5000);
        auto unit = app->equipment().at(0);
        sim::UnitState state = sim->state(0);
        state.engineering = true;
        sim->setState(0, state);
        frame->openUnit(unit);
        QVERIFY(app->sessions().of(*unit));
        QCOMPARE(frame->editorOf(*unit)->windowTitle(),
                 QString("QD408 : Main (%1.2) - 工程模式").arg(QString::fromStdString(subnet)));
        QCOMPARE(CQelEqMgr::firstLine(*unit), QString("QD408:Main"));
        boxes.answer(MsgAnswer::Yes);
        frame->disconnectActive();
        // A connection that fails forgets nothing of what was known.
        sim->setFaults(0, sim::Faults{.busy = sim::Faults::Busy::Always});
        frame->openUnit(unit);
        QVERIFY(!app->sessions().of(*unit));
        QCOMPARE(boxes.shown().back().text, QString("提示: 连接超时 !"));
        QCOMPARE(CQelEqMgr::firstLine(*unit), QString("QD408:Main"));
        sim->setFaults(0, {});
        state.engineering = false;
        sim->setState(0, state);
        frame->openUnit(unit);
        QVERIFY(app->sessions().of(*unit));
        QCOMPARE(frame->editorOf(*unit)->windowTitle(),
                 QString("QD408 : Main (%1.2) - 用户模式").arg(QString::fromStdString(subnet)));
    }

    void closingSendsOneNoticeToEachConnectedUnit() {
        QTRY_COMPARE_WITH_TIMEOUT(app->equipment().count(), size_t{2}, 5000);
        for (const auto& unit : app->equipment().snapshot()) frame->openUnit(unit);
        for (const auto& unit : app->equipment().snapshot()) QVERIFY(app->sessions().of(*unit));
        QElapsedTimer clock;
        clock.start();
        frame->close();
        QVERIFY(clock.elapsed() >= 640 + 400);
        for (int u = 0; u < 2; ++u) {
            int notices = 0;
            for (const auto& r : sim->requests(u))
                notices += r.frame[5] == 0x00 && r.frame[9] == 0x00;
            QCOMPARE(notices, 1);
        }
        QSettings ini(dir.filePath("QelConfig.ini"), QSettings::IniFormat);
        QVERIFY(ini.contains("MainWindow/Width"));  // the placement was saved
    }

    void closingDuringADownloadAsksThenCancelsAndLeaves() {
        QTRY_COMPARE_WITH_TIMEOUT(app->equipment().count(), size_t{2}, 5000);
        std::shared_ptr<Equipment> fill;  // the QD206: simulator unit 1
        for (const auto& unit : app->equipment().snapshot())
            if (unit->addressText() == subnet + ".3") fill = unit;
        QVERIFY(fill);
        frame->openUnit(fill);
        CQelEquipmentDlg* editor = frame->editorOf(*fill);
        QVERIFY(editor && editor->isVisible());
        const QString path = dir.filePath("fill.json");
        QVERIFY(PresetTransfer::exportTo(*editor, path));
        sim::Faults slow;
        slow.replyDelayMs = 250;  // the import takes about 40 s
        sim->setFaults(1, slow);
        boxes.answer(MsgAnswer::Yes);  // import it
        boxes.answer(MsgAnswer::No);   // the first close: the download goes on
        boxes.answer(MsgAnswer::Yes);  // the second: cancelled, then the orderly exit
        bool stillOpen = false;
        QTimer::singleShot(800, frame.get(), [&] {
            frame->close();
            stillOpen = frame->isVisible() && !CQelConnectDlg::running()->cancelRequested();
            frame->close();
        });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!PresetTransfer::importFrom(*editor, path));
        QVERIFY(stillOpen);
        QTRY_VERIFY(!frame->isVisible());
        QVERIFY(clock.elapsed() < 15000);
        QCOMPARE(boxes.shown().size(), size_t{3});
        QCOMPARE(boxes.shown()[1].text, QString("正在向设备传输数据。要取消传输并退出吗 ?"));
        QVERIFY(fill->knownDifferent());
        const auto requests = sim->requests(1);
        QCOMPARE(requests.back().frame[9], uint8_t{0x00});  // the notice came last
        QCOMPARE(requests.back().frame[5], uint8_t{0x00});
    }

    void sigtermTakesTheExitPath() {
        // The program in a child process connects to the QD206; the simulator sees its notice.
        const QString work = dir.filePath("child"), locks = dir.filePath("child-locks");
        QVERIFY(QDir().mkpath(work) && QDir().mkpath(locks));
        QFile::setPermissions(locks, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QFile::copy(dir.filePath("QelConfig.ini"), work + "/QelConfig.ini"));
        // The child's own settings: a later start that leaves this PC's adapters alone.
        QSettings(work + "/QelConfig.ini", QSettings::IniFormat).setValue("NetConfig/AutoIP", "0");
        QSettings(dir.filePath("child-config/Quellmar/Quellmar.conf"), QSettings::IniFormat)
            .setValue("Quellmar_Once", "1");
        qputenv("XDG_CONFIG_HOME", dir.filePath("child-config").toUtf8());
        qputenv("XDG_RUNTIME_DIR", locks.toUtf8());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto lastReadDone = [this] {  // the full read ends with output 6's EQ block
            for (const auto& r : sim->requests(1))
                if (r.frame[5] == 0x20 && r.frame[8] == 6 && r.frame[9] == 0x08) return true;
            return false;
        };
        std::thread killer;
        const auto r =
            test::runProcess({QUELLMAR_APP, "--local-port", "0", "--search-port", "0", "--work-dir",
                              work.toStdString(), "--connect", subnet + ".3"},
                             20000, [&](pid_t pid) {
                                 killer = std::thread([pid, &lastReadDone] {
                                     for (int i = 0; i < 1000 && !lastReadDone(); ++i)
                                         QThread::msleep(10);
                                     QThread::msleep(300);
                                     ::kill(pid, SIGTERM);
                                 });
                             });
        killer.join();
        QVERIFY(lastReadDone());
        QVERIFY2(r.exitCode == 0, r.err.c_str());
        const auto requests = sim->requests(1);
        QCOMPARE(requests.back().frame[9], uint8_t{0x00});  // the notice came last
        QCOMPARE(requests.back().frame[5], uint8_t{0x00});
        QVERIFY(
            QSettings(work + "/QelConfig.ini", QSettings::IniFormat).contains("MainWindow/Width"));
    }

    void autoIpToggleIsWrittenBack() {
        QAction* a = frame->action(command::kAutoIp);
        QVERIFY(a->isChecked());  // default 1
        a->trigger();
        QSettings ini(dir.filePath("QelConfig.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("NetConfig/AutoIP").toString(), QString("0"));
        QVERIFY(!a->isChecked());
    }

private:
    ScriptedMessageBoxes boxes;
    test::FakeNetworkAdapters adapters;
    QTemporaryDir dir;
    std::string subnet;
    std::unique_ptr<sim::UnitSimulator> sim;
    std::unique_ptr<CQuellmarApp> app;
    std::unique_ptr<CMainFrame> frame;
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
