// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include "UnitSimulator.h"
#include "controls/MessageBoxes.h"
#include "editor/EditorPage.h"
#include "editor/QelEquipmentDlg.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "support/EditorRig.h"
#include "support/Loopback.h"

using namespace qel;

// The editor window against a simulated unit.
class EditorTest : public QObject {
    Q_OBJECT
private slots:
    void heldLevelsFallSlowly() {
        MeterHold hold;
        uint8_t reply[12] = {30}, shown[12] = {};
        hold.pass(reply, shown);
        QCOMPARE(shown[0], uint8_t{30});
        reply[0] = 0;
        hold.pass(reply, shown);
        QCOMPARE(shown[0], uint8_t{30});  // held
        int passes = 2;
        while (shown[0] > 0 && passes < 200) {
            hold.pass(reply, shown);
            ++passes;
        }
        QVERIFY2(passes >= 100 && passes <= 103, qPrintable(QString::number(passes)));
        hold.pass(reply, shown);
        QCOMPARE(shown[0], uint8_t{0});
    }

    void editorPollsMetersCopiesLinkedEqAndKeepsItsPage() {
        setMessageBoxes(&boxes);
        const std::string ip = test::loopbackHost(test::loopbackSubnet(), 2);
        QVERIFY(sim.addNetworkUnit(2, ip, "Rack") >= 0);
        QVERIFY(sim.start());
        QVERIFY(endpoint.open(0));
        LinkSettings link;
        link.endpoint = &endpoint;
        auto unit = test::linkedUnit(ip, 2, link);
        QVERIFY(unit);
        unit->setModelName("QD206");
        unit->setDeviceName("Rack");
        test::TestEditorHost host(link);
        MeterPoller::Timing fast;
        fast.startMs = 0;
        test::SessionEditor editor(unit, host, fast);
        QCOMPARE(CQelEquipmentDlg::titleFor(*unit),
                 QString("QD206 : Rack (%1) - 用户模式").arg(QString::fromStdString(ip)));
        unit->setVirtual(true);
        QCOMPARE(CQelEquipmentDlg::titleFor(*unit), QString("QD206 : Rack (虚拟) - 用户模式"));
        unit->setVirtual(false);
        QCOMPARE(editor.size(), QSize(966, 543));
        QCOMPARE(editor.page(1)->objectName(), QString("Qel.m_gain_panel"));
        editor.show();
        QTRY_VERIFY_WITH_TIMEOUT(editor.meters().readingsAsked() > 20, 3000);
        QTRY_VERIFY(editor.edit().image().meter(4) > 0);  // the simulator's levels arrive
        // The system page slows the poll to once a second.
        editor.chooseTab(CQelEquipmentDlg::kSystem, 1, 1);
        QTest::qWait(100);
        const auto asked = editor.meters().readingsAsked();
        QTest::qWait(1500);
        QVERIFY(editor.meters().readingsAsked() - asked <= 2);
        // Linking input B to input A copies A's EQ onto B and tells the unit with 0x0D.
        editor.edit().image().record().input(0).point(3) = EqPoint{1, 40, 90, 12};
        editor.chooseTab(CQelEquipmentDlg::kInputEq, 1 | 2 << 8, 0b11);
        QCOMPARE(editor.edit().image().record().input(1).point(3), (EqPoint{1, 40, 90, 12}));
        QTRY_VERIFY(copySent());
        QCOMPARE(editor.currentPage(), int{CQelEquipmentDlg::kInputEq});
        QVERIFY(editor.backingStore());
        editor.close();  // hides; the page stays
        QVERIFY(!editor.isVisible());
        // Closed, it gives back its window and the picture behind it (some 2 MB).
        QTRY_VERIFY(!editor.backingStore());
        editor.show();
        QCOMPARE(editor.currentPage(), int{CQelEquipmentDlg::kInputEq});
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QVERIFY(editor.backingStore());
        unit->stopLink();
        setMessageBoxes(nullptr);
    }

private:
    bool copySent() {
        for (const auto& r : sim.requests(0))
            if (r.frame[5] == 0x12 && r.frame[8] == 2 && r.frame[9] == 0x0D && r.frame[10] == 1)
                return true;
        return false;
    }

    ScriptedMessageBoxes boxes;
    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
};

QTEST_MAIN(EditorTest)
#include "EditorTest.moc"
