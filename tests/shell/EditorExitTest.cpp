// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include <QComboBox>
#include <QPushButton>
#include <csignal>

#include "editor/EqSystemDlg.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/QelSyncBar.h"
#include "link/Equipment.h"
#include "shell/MyStatusBar.h"
#include "shell/SignalExit.h"
#include "support/AppRig.h"
#include "ui/QelConnectDlg.h"

using namespace qel;

// The program's exit while a step runs (an editor's, the connection): it waits for the step.
class EditorExitTest : public QObject {
    Q_OBJECT
private slots:
    void sigtermDuringAReconnectWaitsForItThenExitsInOrder() {
        test::AppRig rig;
        CSignalExit exitSignals;
        CQelEquipmentDlg* editor = openUnit(rig, exitSignals);
        QVERIFY(editor);
        Equipment& unit = editor->unit();
        unit.requestStop();  // the link is lost
        QTRY_COMPARE(editor->syncBar()->state(), CQelSyncBar::State::Lost);

        // The signal arrives while 重连 ends the old link, its first step.
        std::raise(SIGTERM);
        editor->syncBar()->reconnect();
        // The exit waited for the reconnect, which took the unit up again.
        QVERIFY(rig.frame().isVisible());
        QVERIFY(unit.linkRunning() && !unit.hasFlag(linkflag::kStop));
        QCOMPARE(editor->syncBar()->state(), CQelSyncBar::State::Quiet);
        expectOrderlyExit(rig, *editor);
    }

    void sigtermDuringARecallWaitsForItsReadThenExitsInOrder() {
        test::AppRig rig;
        CSignalExit exitSignals;
        CQelEquipmentDlg* editor = openUnit(rig, exitSignals);
        QVERIFY(editor);
        editor->showPage(CQelEquipmentDlg::kSystem);
        editor->systemDlg()
            ->findChild<QComboBox*>(QString::number(CEqSystemDlg::kSlot))
            ->setCurrentIndex(1);

        // The signal arrives while the unit recalls the mode; the full read follows.
        std::raise(SIGTERM);
        rig.boxes().answer(MsgAnswer::Yes);
        editor->systemDlg()
            ->findChild<QPushButton*>(QString::number(CEqSystemDlg::kRecallSlot))
            ->click();
        QVERIFY(rig.frame().isVisible());
        QCOMPARE(rig.frame().skinnedStatusBar()->paneText(3), QString("模式序号: 2"));
        QVERIFY(editor->unit().hasFlag(linkflag::kParamsRead));
        expectOrderlyExit(rig, *editor);
    }

    // The connection window's worker reads the unit: the exit waits for it, then the unit
    // connected meanwhile hears the notice.
    void sigtermDuringTheConnectionWaitsForItThenExitsInOrder() {
        test::AppRig rig;
        CSignalExit exitSignals;
        const auto unit = findUnit(rig, exitSignals);
        QVERIFY(unit);
        test::ModalSpy spy(raiseSigtermAtTheConnection(), true);
        rig.frame().openUnit(unit);
        CQelEquipmentDlg* editor = rig.frame().editorOf(*unit);
        QVERIFY(editor);
        expectOrderlyExit(rig, *editor);
    }

    // A connection that fails while the exit waits for it ends without its message box.
    void sigtermDuringAFailingConnectionExitsWithoutItsBox() {
        test::AppRig rig;
        CSignalExit exitSignals;
        const auto unit = findUnit(rig, exitSignals);
        QVERIFY(unit);
        sim::Faults deaf;
        deaf.dropRequests = 1.0;
        rig.sim().setFaults(0, deaf);
        test::ModalSpy spy(raiseSigtermAtTheConnection(), true);
        rig.frame().openUnit(unit);
        QVERIFY(!rig.frame().editorOf(*unit));
        QTRY_VERIFY(!rig.frame().isVisible());
        QVERIFY(rig.boxes().shown().empty());
    }

private:
    // Sends SIGTERM once, as the connection window shows.
    static std::function<void(QWidget*)> raiseSigtermAtTheConnection() {
        return [raised = false](QWidget* w) mutable {
            if (raised || !qobject_cast<CQelConnectDlg*>(w)) return;
            raised = true;
            std::raise(SIGTERM);
        };
    }

    // The program on one simulated unit, found by the start-up search; signals take the exit
    // path.
    static std::shared_ptr<Equipment> findUnit(test::AppRig& rig, CSignalExit& exitSignals) {
        if (rig.addNetworkUnit(2, "Hall") < 0 || !rig.start()) return nullptr;
        connect(&exitSignals, &CSignalExit::exitRequested, &rig.frame(),
                &CMainFrame::exitOnRequest);
        if (!QTest::qWaitFor([&] { return rig.app().equipment().count() == 1; }, 20000))
            return nullptr;
        return rig.app().equipment().snapshot().front();
    }

    // The same with the unit's editor open.
    static CQelEquipmentDlg* openUnit(test::AppRig& rig, CSignalExit& exitSignals) {
        const auto unit = findUnit(rig, exitSignals);
        if (!unit) return nullptr;
        rig.frame().openUnit(unit);
        return rig.frame().editorOf(*unit);
    }

    // The exit command's path: the unit told last and let go, the windows gone, the placement
    // kept.
    static void expectOrderlyExit(test::AppRig& rig, CQelEquipmentDlg& editor) {
        QTRY_VERIFY(!rig.frame().isVisible());
        QVERIFY(!editor.isVisible());
        QTRY_VERIFY(editor.unit().hasFlag(linkflag::kStop));
        const auto requests = rig.sim().requests(0);
        QCOMPARE(requests.back().frame[5], uint8_t{0x00});  // the notice came last
        QCOMPARE(requests.back().frame[9], uint8_t{0x00});
        QVERIFY(
            QSettings(rig.app().configPath(), QSettings::IniFormat).contains("MainWindow/Width"));
    }
};

QTEST_MAIN(EditorExitTest)
#include "EditorExitTest.moc"
