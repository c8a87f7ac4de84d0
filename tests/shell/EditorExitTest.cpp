// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include <csignal>

#include "editor/QelEquipmentDlg.h"
#include "editor/QelSyncBar.h"
#include "link/Equipment.h"
#include "shell/SignalExit.h"
#include "support/AppRig.h"

using namespace qel;

// The program's exit while an editor's blocking step runs.
class EditorExitTest : public QObject {
    Q_OBJECT
private slots:
    void sigtermDuringAReconnectWaitsForItThenExitsInOrder() {
        test::AppRig rig;
        QVERIFY(rig.addNetworkUnit(2, "Hall") >= 0);
        QVERIFY(rig.start());
        CSignalExit exitSignals;
        connect(&exitSignals, &CSignalExit::exitRequested, &rig.frame(),
                &CMainFrame::exitOnRequest);
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{1}, 20000);
        const auto unit = rig.app().equipment().snapshot().front();
        rig.frame().openUnit(unit);
        CQelEquipmentDlg* editor = rig.frame().editorOf(*unit);
        QVERIFY(editor);
        unit->requestStop();  // the link is lost
        QTRY_COMPARE(editor->syncBar()->state(), CQelSyncBar::State::Lost);

        // The signal arrives while 重连 ends the old link, its first step.
        std::raise(SIGTERM);
        editor->syncBar()->reconnect();
        // The exit waited for the reconnect, which took the unit up again.
        QVERIFY(rig.frame().isVisible());
        QVERIFY(unit->linkRunning() && !unit->hasFlag(linkflag::kStop));
        QCOMPARE(editor->syncBar()->state(), CQelSyncBar::State::Quiet);

        // Then the exit command's path: the unit told last, let go, the placement kept.
        QTRY_VERIFY(!rig.frame().isVisible());
        QVERIFY(!editor->isVisible());
        QTRY_VERIFY(unit->hasFlag(linkflag::kStop));
        const auto requests = rig.sim().requests(0);
        QCOMPARE(requests.back().frame[5], uint8_t{0x00});  // the notice came last
        QCOMPARE(requests.back().frame[9], uint8_t{0x00});
        QVERIFY(
            QSettings(rig.app().configPath(), QSettings::IniFormat).contains("MainWindow/Width"));
    }
};

QTEST_MAIN(EditorExitTest)
#include "EditorExitTest.moc"
