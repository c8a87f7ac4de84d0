// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>

#include "Request.h"
#include "editor/PanelGain.h"
#include "shell/GroupsDlg.h"
#include "support/GroupRig.h"

using namespace qel;
using qel::test::GroupRig;

class GroupsWindowTest : public QObject {
    Q_OBJECT

    static void type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

private slots:
    // Moves of the strip reach both units as own + offset, one undo step each (a drag too),
    // and Ctrl+Z / Ctrl+Y in the window send every member back and forth.
    void movesAreStepsOfTheWindowsUndo() {
        GroupRig rig;
        QVERIFY(rig.start({100, 80}));  // 0 dB and -10 dB
        GroupsDlg window(*rig.groups, [&rig] { return rig.units; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        GroupStrip* strip = window.strip("Mains");
        QVERIFY(strip);
        QVERIFY(strip->countLabel()->text().contains("2"));

        type(strip->gainBox(), "-3 dB");
        QTRY_COMPARE(int(rig.out(0).gain), 94);
        QTRY_COMPARE(int(rig.out(1).gain), 74);
        QCOMPARE(strip->fader()->value(), -6);

        // A drag: pressed, three steps, released; the units follow, the file is written once.
        strip->fader()->setSliderDown(true);
        for (int v : {-8, -10, -12}) strip->fader()->setValue(v);
        strip->fader()->setSliderDown(false);
        QTRY_COMPARE(int(rig.out(0).gain), 88);
        QTRY_COMPARE(int(rig.out(1).gain), 68);

        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Z));  // the drag
        QTRY_COMPARE(int(rig.out(0).gain), 94);
        QTRY_COMPARE(int(rig.out(1).gain), 74);
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Z));  // the typed -3
        QTRY_COMPARE(int(rig.out(0).gain), 100);
        QTRY_COMPARE(int(rig.out(1).gain), 80);
        QCOMPARE(strip->gainBox()->text(), QString("+0.0 dB"));
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Y));
        QTRY_COMPARE(int(rig.out(0).gain), 94);
        QTRY_COMPARE(int(rig.out(1).gain), 74);

        // A typed text that is no number sends nothing and says why.
        // (The meters are read meanwhile: only writes count.)
        const auto writes = [&rig] {
            const auto all = rig.sim.requests(0);
            return std::count_if(all.begin(), all.end(), [](const sim::RequestRecord& r) {
                return sim::Request::fromFrame(r.frame.data(), r.frame.size()).op == 2;
            });
        };
        const auto before = writes();
        type(strip->gainBox(), "loud");
        QVERIFY(!window.messageLabel()->text().isEmpty());
        QTest::qWait(100);
        QCOMPARE(writes(), before);

        // Past a member's range: stops at the limit of Stage-L (0 dB + 12) and names it.
        type(strip->gainBox(), "+20");
        QTRY_COMPARE(int(rig.out(0).gain), 124);
        QTRY_COMPARE(int(rig.out(1).gain), 104);
        QVERIFY2(window.messageLabel()->text().contains("Stage-L"),
                 qPrintable(window.messageLabel()->text()));
        QCOMPARE(strip->gainBox()->text(), QString("+12.0 dB"));
    }

    // The tree ticks a group's members; a member's gain page tells of its group.
    void membersAreTickedAndShownOnTheirPages() {
        GroupRig rig;
        QVERIFY(rig.start({100, 80}));
        rig.groups->setGainDb("Mains", -3.0);
        GroupsDlg window(*rig.groups, [&rig] { return rig.units; });
        QTreeWidget* tree = window.memberTree();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QTreeWidgetItem* left = tree->topLevelItem(0);
        QCOMPARE(left->childCount(), 4 + 8);
        QCOMPARE(left->child(4)->checkState(0), Qt::Checked);    // output 1
        QCOMPARE(left->child(5)->checkState(0), Qt::Unchecked);  // output 2

        left->child(5)->setCheckState(0, Qt::Checked);
        QCOMPARE(rig.groups->group("Mains")->members.size(), size_t(3));
        QTRY_COMPARE(int(rig.sim.state(0).params.out[1].gain), 100 - 6);  // takes the share

        CPanelGain page(rig.sessions->of(*rig.units[1])->edit(), nullptr);
        page.setGroups(rig.groups.get());
        page.loadFromImage();
        const int output1 = page.inputs();
        QVERIFY(page.groupLine(output1)->isVisibleTo(&page));
        QCOMPARE(page.groupLine(output1)->text(), QString("自身 -10.0\nMains -3.0\n→ -13.0 dB"));
        QVERIFY(page.groupLine(output1)->toolTip().contains("-10.0 dB"));  // its own
        QVERIFY(!page.groupLine(output1 + 1)->isVisibleTo(&page));
        rig.groups->setGainDb("Mains", -1.0);
        QTRY_COMPARE(page.groupLine(output1)->text(),
                     QString("自身 -10.0\nMains -1.0\n→ -11.0 dB"));
    }
};

QTEST_MAIN(GroupsWindowTest)
#include "GroupsWindowTest.moc"
