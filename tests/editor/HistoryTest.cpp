// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>
#include <optional>
#include <set>
#include <vector>

#include "UnitSimulator.h"
#include "controls/QelGain.h"
#include "controls/QelGainEq.h"
#include "controls/QelText.h"
#include "device/EditHistory.h"
#include "device/ValueCodes.h"
#include "editor/PanelEqi.h"
#include "editor/PanelGain.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/TypedValue.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "support/EditorRig.h"
#include "support/Loopback.h"
#include "ui/EditWords.h"

using namespace qel;

// Undo, redo and A/B of an editor on a simulated QD408: what the keys do wherever the focus
// is, what merges into one step, and what the unit holds afterwards.
class HistoryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        ip = test::loopbackHost(test::loopbackSubnet(), 4);
        QCOMPARE(sim.addNetworkUnit(4, ip, "Rack"), 0);
        QVERIFY(sim.start());
        QVERIFY(endpoint.open(0));
    }

    void init() {
        sim.clearRequests(0);
        LinkSettings link;
        link.endpoint = &endpoint;
        rig.emplace(test::EditorRig::open(test::linkedUnit(ip, 4, link), link));
        QVERIFY(rig->editor);
        unit = rig->unit;
        editor = rig->editor.get();
        for (int i = 0; i < 8; ++i) record().output(i).setGain(gainCode(0));
        record().input(0).setGain(gainCode(0));
        editor->updateAllPanels();
        editor->show();
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
    }

    void cleanup() { rig.reset(); }

    void aDragAndAHeldKeyAreOneStepEachAndUndoReachesTheUnit() {
        auto* page = static_cast<CPanelGain*>(editor->page(1));
        CQelFader* fader = page->fader(4);  // output 1
        const uint8_t start = record().output(0).gain();
        const QPoint knob(28, fader->knobY() + 5);
        QTest::mousePress(fader, Qt::LeftButton, {}, knob);
        for (int dy = 4; dy <= 80; dy += 4) {
            QTest::mouseMove(fader, knob + QPoint(0, dy));
            QTest::qWait(5);
        }
        QTest::mouseRelease(fader, Qt::LeftButton, {}, knob + QPoint(0, 80));
        const uint8_t dragged = record().output(0).gain();
        QVERIFY(dragged < start);
        QCOMPARE(stack().count(), 1);
        QCOMPARE(stack().undoText(), QString("输出 1 增益 %1 dB").arg(gainDb(dragged), 0, 'f', 1));

        // A held key: one press, then repeats.
        QTest::keyPress(fader, Qt::Key_Up);
        for (int i = 0; i < 5; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(fader, &repeat);
        }
        QTest::keyRelease(fader, Qt::Key_Up);
        QCOMPARE(int{record().output(0).gain()}, dragged + 6);
        QCOMPARE(stack().count(), 2);

        QTest::keyClick(fader, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(record().output(0).gain(), dragged);
        QCOMPARE(fader->code(), int{dragged});  // the page shows it
        QTest::keyClick(fader, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(record().output(0).gain(), start);
        QTRY_COMPARE(sim.state(0).params.out[0].gain, start);
        QTest::keyClick(fader, Qt::Key_Y, Qt::ControlModifier);
        QTRY_COMPARE(sim.state(0).params.out[0].gain, dragged);
        QTest::keyClick(fader, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE(sim.state(0).params.out[0].gain, uint8_t(dragged + 6));
    }

    void aValueBoxKeepsCtrlZOnlyForTypingNotCommitted() {
        CQelText* box = static_cast<CPanelGain*>(editor->page(1))->gainBox(0);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "6");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(record().input(0).gain(), gainCode(6));
        QCOMPARE(stack().count(), 1);
        QTest::keyClicks(box, "9");  // typing, not committed: the box's own undo
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(stack().index(), 1);
        QTest::keyClick(box, Qt::Key_Return);  // the same value again: no new step
        QCOMPARE(stack().count(), 1);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);  // committed: the editor's undo
        QCOMPARE(stack().index(), 0);
        QCOMPARE(box->text(), QString("+0.0 dB"));
        QTRY_COMPARE(sim.state(0).params.in[0].gain, record().input(0).gain());
    }

    void undoOfALinkedEditWritesEveryLinkedChannel() {
        auto* page = static_cast<CPanelEqi*>(editor->page(4));
        editor->chooseTab(4, 1, 0b101);  // A and C linked, both with the same EQ
        editor->chooseTab(4, 1, 0b101);
        const EqPoint before = record().input(0).point(4);
        QTest::keyClick(page->fader(4), Qt::Key_Up);
        QCOMPARE(record().input(2).point(4).gain, uint8_t(before.gain + 1));
        QTRY_COMPARE(sim.state(0).params.in[2].eq[4][2], uint8_t(before.gain + 1));
        settle();
        editor->history().undo();
        QCOMPARE(record().input(0).point(4), before);
        QCOMPARE(record().input(2).point(4), before);
        QTRY_COMPARE(sim.state(0).params.in[2].eq[4][2], before.gain);
        QCOMPARE(sim.state(0).params.in[0].eq[4][2], before.gain);
        QCOMPARE(writes(0x09), 1);  // one linked write, as the edit went out
    }

    void resetAndCopyAreTakenBackPointByPoint() {
        OutputChannel& three = record().output(2);
        for (int i = 0; i < OutputChannel::kPoints; ++i) three.point(i) = EqPoint{0, 40, 99, 9};
        three.setHighPassFreq(30);
        const OutputChannel before = three;
        const std::vector<EqPoint> flat(OutputChannel::kPoints, EqPoint{0, 120, 100, 4});
        editor->edit().copyEq(cmd::outputChannel(3), 1);
        editor->edit().resetEq(cmd::outputChannel(3), flat);
        QCOMPARE(stack().undoText(), QString("输出 3 EQ 复位"));
        QTRY_COMPARE(writes(0x0F), 1);
        for (const int undone : {1, 2}) {
            settle();
            editor->history().undo();
            // Every point, the EQ switch and both filters; no reset or copy command.
            QTRY_COMPARE(writes(0x09), OutputChannel::kPoints);
            QTRY_COMPARE(writes(0x0A) + writes(0x0B) + writes(0x0C), 3);
            QCOMPARE(writes(0x0F) + writes(0x0D), 0);
            if (undone == 2) QVERIFY(record().output(2) == before);
        }
        QTRY_COMPARE(sim.state(0).params.out[2].eq[9][2], uint8_t{40});  // the gain code
        QTRY_COMPARE(sim.state(0).params.out[2].hpfFreq, uint8_t{30});
    }

    void abSwitchSendsOnlyTheDifferencesAndIsOneStep() {
        EditHistory& h = editor->history();
        h.store(EditHistory::kA);
        const ModeRecord a = record();
        for (int i = 0; i < 10; ++i) {
            EqPoint p = record().output(i % 8).point(i / 8 + 2);
            p.gain = static_cast<uint8_t>(p.gain + 10 + i);
            editor->edit().setEqPoint(cmd::outputChannel(i % 8 + 1), i / 8 + 2, p);
        }
        h.store(EditHistory::kB);
        const ModeRecord b = record();
        QTRY_COMPARE(writes(0x09), 10);
        settle();
        const int steps = stack().count();
        QVERIFY(h.switchAb());
        QCOMPARE(h.current(), EditHistory::kA);
        QVERIFY(record() == a);
        QTRY_COMPARE(writes(0x09), 10);
        for (const auto& r : sim.requests(0)) QCOMPARE(int{r.frame[9]}, 0x09);  // nothing else
        QTRY_COMPARE(sim.state(0).params.out[7].eq[2][2], a.output(7).point(2).gain);
        QTRY_COMPARE(sim.state(0).params.out[1].eq[3][2], a.output(1).point(3).gain);
        QCOMPARE(stack().count(), steps + 1);
        QCOMPARE(stack().undoText(), QString("切换到 A"));
        h.undo();
        QVERIFY(record() == b);
        QCOMPARE(h.current(), EditHistory::kB);
        QTRY_COMPARE(sim.state(0).params.out[7].eq[2][2], b.output(7).point(2).gain);
    }

    // A remote client's edit is a step of its own that knows who made it, even within the
    // user's press on the same control; undoing it shows on the page.
    void aRemoteEditIsItsOwnStepAndUndoShowsIt() {
        auto* page = static_cast<CPanelGain*>(editor->page(1));
        CQelFader* fader = page->fader(4);  // output 1
        const uint8_t start = record().output(0).gain();
        QTest::keyPress(fader, Qt::Key_Up);
        {
            ParamEdit::OriginScope remote(editor->edit(), {ParamEdit::Origin::Kind::Remote, 7});
            editor->edit().setGain(cmd::outputChannel(1), gainCode(-20));
        }
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(fader, &repeat);
        QTest::keyRelease(fader, Qt::Key_Up);
        QCOMPARE(stack().count(), 3);
        QCOMPARE(editor->history().origin(0), ParamEdit::Origin{});
        QCOMPARE(editor->history().origin(1),
                 (ParamEdit::Origin{ParamEdit::Origin::Kind::Remote, 7}));
        QCOMPARE(editor->history().origin(2), ParamEdit::Origin{});
        editor->history().undo();
        QCOMPARE(fader->code(), int{gainCode(-20)});
        editor->history().undo();
        QCOMPARE(fader->code(), start + 1);
        QCOMPARE(page->gainBox(4)->text(), signedDbText(gainDb(uint8_t(start + 1))));
        QTRY_COMPARE(sim.state(0).params.out[0].gain, uint8_t(start + 1));
    }

    // The history and A/B belong to the unit's session: an editor that goes and another that
    // comes on the same session find them, and a remote edit made with no editor open is
    // undone in the one opened after it.
    void theHistoryOutlivesTheEditor() {
        UnitSession session(unit, test::meterOptions(test::quietMeters()));
        session.history().setLabeller(&EditWords::step);
        auto first = std::make_unique<CQelEquipmentDlg>(session, *rig->host);
        type(static_cast<CPanelGain*>(first->page(1))->gainBox(4), "-7");
        session.history().store(EditHistory::kB);
        first.reset();
        {
            ParamEdit::OriginScope remote(session.edit(), {ParamEdit::Origin::Kind::Remote, 3});
            session.edit().setMute(cmd::outputChannel(2), 1);
        }
        CQelEquipmentDlg second(session, *rig->host);
        QCOMPARE(second.history().count(), 2);
        QVERIFY(second.history().undoText().endsWith("(远程客户端 3)"));
        QVERIFY(second.history().stored(EditHistory::kB));
        second.show();
        second.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&second));
        QTest::keyClick(&second, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(session.edit().image().record().output(1).mute(), uint8_t{0});
        QTRY_COMPARE(sim.state(0).params.out[1].mute, uint8_t{0});
        second.history().undo();
        QTRY_COMPARE(sim.state(0).params.out[0].gain, gainCode(0));
    }

    void cleanupTestCase() { sim.stop(); }

private:
    static void type(CQelText* box, const QString& text) {
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    ModeRecord& record() { return editor->edit().image().record(); }
    EditHistory& stack() { return editor->history(); }
    // The queue has sent everything (resends included); then the record starts again.
    void settle() {
        QTRY_COMPARE(unit->queue().pendingCount(), size_t{0});
        sim.clearRequests(0);
    }
    // Distinct frames with this code: a write the link had to send again counts once.
    int writes(int code) const {
        std::set<std::vector<uint8_t>> frames;
        for (const auto& r : sim.requests(0))
            if (r.frame.size() > 9 && r.frame[9] == code) frames.insert(r.frame);
        return static_cast<int>(frames.size());
    }

    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
    std::string ip;
    std::optional<test::EditorRig> rig;
    std::shared_ptr<Equipment> unit;
    CQelEquipmentDlg* editor = nullptr;
};

QTEST_MAIN(HistoryTest)
#include "HistoryTest.moc"
