// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include "UnitSimulator.h"
#include "controls/MessageBoxes.h"
#include "controls/QelBtn.h"
#include "controls/QelComboBox.h"
#include "controls/QelGainEq.h"
#include "controls/QelStatic.h"
#include "controls/QelText.h"
#include "device/FreqTable.h"
#include "device/ValueCodes.h"
#include "editor/PanelEqi.h"
#include "editor/PanelEqo.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/TypedValue.h"
#include "eqresponse/view/QelEqType.h"
#include "eqresponse/view/QelEqView.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "support/BoxText.h"
#include "support/EditorRig.h"
#include "support/Loopback.h"

using namespace qel;

namespace {

// One editor on one simulated QD408; the meter thread stays asleep so only edits travel.
struct Rig : test::EditorRig {
    explicit Rig(test::EditorRig&& rig) : EditorRig(std::move(rig)) {}
    ModeRecord& record() { return editor->edit().image().record(); }
    CPanelEqi* inputs() { return static_cast<CPanelEqi*>(editor->page(4)); }
    CPanelEqo* outputs() { return static_cast<CPanelEqo*>(editor->page(5)); }
};

void type(CQelText* box, const QString& text) {
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// The box shows the whole of the value, and reads back as it when committed.
void showsValue(CQelText* box, double value, ValueUnit unit) {
    QVERIFY2(test::showsWholeText(*box), qPrintable(box->text()));
    const TypedValue shown = readTypedValue(box->text(), unit);
    QVERIFY2(shown.ok() && std::abs(shown.value - value) < 0.01, qPrintable(box->text()));
}

}  // namespace

// The input and output EQ pages against a simulated unit: typed values, filter boxes and
// lists, linked channels, reset and "EQ pass", and what reaches the unit.
class EqPagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setMessageBoxes(&boxes);
        ip = test::loopbackHost(test::loopbackSubnet(), 4);
        QCOMPARE(sim.addNetworkUnit(4, ip, "Rack"), 0);
        QVERIFY(sim.start());
        QVERIFY(endpoint.open(0));
    }
    void cleanupTestCase() { setMessageBoxes(nullptr); }

    void inputPageTypedValuesAtTheirEdges() {
        Rig rig = open();
        CPanelEqi* page = rig.inputs();
        QCOMPARE(page->objectName(), QString("Qel.m_eq_ipanel"));
        QCOMPARE(page->view()->geometry(), QRect(6, 199, 950, 294));
        QCOMPARE(page->gainBox(14)->geometry(), QRect(54 + 60 * 14, 6, 56, 20));
        struct Case {
            int box;  // 0 gain, 1 frequency, 2 Q
            const char* typed;
            const char* shown;
            int code;
        };
        const Case cases[] = {{0, "13", "+12.0 dB", 180},     {0, "-30", "-24.0 dB", 0},
                              {0, "0.31", "+0.4 dB", 122},    {1, "1000", "1000 Hz", 143},
                              {1, "999999", "21513 Hz", 255}, {2, "0", "0.2", 0},
                              {2, "50", "36.0", 179}};
        for (const Case& c : cases) {
            CQelText* box = c.box == 0   ? page->gainBox(2)
                            : c.box == 1 ? page->freqBox(2)
                                         : page->qBox(2);
            type(box, c.typed);
            QCOMPARE(box->text(), QString(c.shown));
            const EqPoint& p = rig.record().input(0).point(2);
            QCOMPARE(int{c.box == 0 ? p.gain : c.box == 1 ? p.freq : p.q}, c.code);
        }
        // The last one on the wire: point 2 as type, frequency, gain, Q, 0.
        const EqPoint& p = rig.record().input(0).point(2);
        QTRY_VERIFY(sent(0x12, 1, 0x09, {2, p.type, p.freq, p.gain, 179, 0}));
        QCOMPARE(page->fader(2)->code(), int{p.gain});
        QCOMPARE(page->view()->point(2), p);
        QCOMPARE(page->view()->selected(), 2);
    }

    // The widest values each box can hold, typed and loaded, show whole and as the unit holds
    // them (a frequency box showed "5916.0 Hz" for 15916 Hz).
    void boxesShowTheWholeValueTheUnitHolds() {
        Rig rig = open();
        CPanelEqi* page = rig.inputs();
        type(page->freqBox(14), "999999");
        type(page->gainBox(13), "-30");
        type(page->qBox(12), "50");
        type(page->freqBox(11), "15916");
        const auto held = [this](int n, int byte) { return sim.state(0).params.in[0].eq[n][byte]; };
        QTRY_VERIFY(held(14, 1) == 255 && held(13, 2) == 0 && held(12, 3) == 179 &&
                    held(11, 1) == 244);
        const sim::ChannelIn unit = sim.state(0).params.in[0];
        for (int n = 11; n < 15; ++n) {
            showsValue(page->freqBox(n), double{FreqTable[unit.eq[n][1]]}, ValueUnit::Hertz);
            showsValue(page->gainBox(n), unit.eq[n][2] * 0.2 - 24, ValueUnit::Decibel);
            showsValue(page->qBox(n), unit.eq[n][3] * 0.2 + 0.2, ValueUnit::None);
        }
        // Every table frequency on both pages, the crossover boxes too, as loads show them.
        CPanelEqo* out = rig.outputs();
        for (int first = 0; first < 256; first += CPanelEqi::kPoints) {
            for (int n = 0; n < CPanelEqi::kPoints; ++n) {
                const auto code = static_cast<uint8_t>(std::min(first + n, 255));
                rig.record().input(0).point(n) = EqPoint{0, 0, code, 179};
                if (n < CPanelEqo::kPoints)
                    rig.record().output(0).point(n) = EqPoint{0, 0, code, 0};
            }
            rig.record().output(0).setHighPassFreq(static_cast<uint8_t>(std::max(first, 1)));
            rig.record().output(0).setLowPassFreq(static_cast<uint8_t>(std::min(first + 14, 254)));
            rig.editor->updateAllPanels();
            for (int n = 0; n < CPanelEqi::kPoints; ++n) {
                const int code = std::min(first + n, 255);
                showsValue(page->freqBox(n), double{FreqTable[code]}, ValueUnit::Hertz);
                showsValue(page->gainBox(n), -24, ValueUnit::Decibel);
                showsValue(page->qBox(n), 36, ValueUnit::None);
                if (n < CPanelEqo::kPoints) showsValue(out->gainBox(n), -24, ValueUnit::Decibel);
                if (n < CPanelEqo::kPoints)
                    showsValue(out->freqBox(n), double{FreqTable[code]}, ValueUnit::Hertz);
            }
            showsValue(out->filterBox(0), double{FreqTable[rig.record().output(0).highPassFreq()]},
                       ValueUnit::Hertz);
            showsValue(out->filterBox(1), double{FreqTable[rig.record().output(0).lowPassFreq()]},
                       ValueUnit::Hertz);
            if (QTest::currentTestFailed()) return;
        }
    }

    void linkedInputsShareThePointAndItsWrite() {
        Rig rig = open();
        CPanelEqi* page = rig.inputs();
        rig.record().input(0).point(4) = EqPoint{0, 120, 143, 4};
        rig.record().input(2).point(9) = EqPoint{2, 10, 20, 30};  // C differs from A
        rig.editor->chooseTab(4, 1, 0b101);                       // A selected, A and C linked
        rig.editor->chooseTab(4, 1, 0b101);                       // now current: loads
        QTest::keyClick(page->fader(4), Qt::Key_Up);              // point 5 up one 0.2 dB step
        const EqPoint p = rig.record().input(0).point(4);
        QCOMPARE(int{p.gain}, 121);
        for (int i = 0; i < CPanelEqi::kPoints; ++i)
            QCOMPARE(rig.record().input(2).point(i), rig.record().input(0).point(i));
        QCOMPARE(rig.record().input(1).point(4).gain, uint8_t{0});  // B is not linked
        // Linked write: point 4, type, frequency, gain, Q, one channel, input 3, filler.
        QTRY_VERIFY(sent(0x15, 1, 0x09, {4, p.type, p.freq, 121, p.q, 1, 3, 0}));
        QCOMPARE(page->summary()->text(),
                 EqPage::summaryText(4, p));  // the summary follows the fader

        // "EQ pass" reaches the linked channel too.
        QTest::mouseClick(page->passButton(), Qt::LeftButton, {}, QPoint(20, 8));
        QCOMPARE(rig.record().input(0).eqSwitch(), uint8_t{1});
        QCOMPARE(rig.record().input(2).eqSwitch(), uint8_t{1});
        QVERIFY(page->view()->bypass());
        QTRY_VERIFY(sent(0x15, 1, 0x0A, {1, 1, 3, 0}));
    }

    void resetAsksAndQBoxesFollowTheType() {
        Rig rig = open();
        CPanelEqi* page = rig.inputs();
        rig.record().input(0).point(3) = EqPoint{1, 150, 100, 9};
        rig.editor->updateAllPanels();
        QVERIFY(!page->qBox(3)->isEnabled());
        QVERIFY(page->qBox(4)->isEnabled());
        QTest::mouseClick(page->typeSelector(4), Qt::LeftButton, {}, QPoint(7, 40));  // HS
        QCOMPARE(rig.record().input(0).point(4).type, uint8_t{2});
        QVERIFY(!page->qBox(4)->isEnabled());
        QVERIFY(page->summary()->text().contains("Type: HS"));

        // No: nothing changes, nothing is sent (once the type's write has gone out).
        QTRY_COMPARE(rig.unit->queue().pendingCount(), size_t{0});
        sim.clearRequests(0);
        boxes.answer(MsgAnswer::No);
        const auto before = rig.editor->edit().recordBytes();
        QTest::mouseClick(page->resetButton(), Qt::LeftButton, {}, QPoint(20, 8));
        QCOMPARE(boxes.shown().back().text, QString("确定要重置 EQ 吗 ?"));
        QCOMPARE(boxes.shown().back().buttons, MsgButtons::YesNo);
        QTest::qWait(300);
        QCOMPARE(rig.editor->edit().recordBytes(), before);
        QVERIFY(sim.requests(0).empty());
        // Yes: the default points and a reset command; every Q box again.
        boxes.answer(MsgAnswer::Yes);
        QTest::mouseClick(page->resetButton(), Qt::LeftButton, {}, QPoint(20, 8));
        QCOMPARE(rig.record().input(0).point(3), (EqPoint{0, 120, 59, 4}));    // 100 Hz
        QCOMPARE(rig.record().input(0).point(14), (EqPoint{0, 120, 244, 4}));  // 15916 Hz
        QCOMPARE(page->freqBox(0)->text(), QString("25.4 Hz"));
        QCOMPARE(page->gainBox(3)->text(), QString("+0.0 dB"));
        for (int n = 0; n < CPanelEqi::kPoints; ++n) QVERIFY(page->qBox(n)->isEnabled());
        QTRY_VERIFY(sent(0x12, 1, 0x0F, {0, 0}));
        // The unit's reset leaves what the page shows.
        for (int n = 0; n < CPanelEqi::kPoints; ++n) {
            const EqPoint shown = rig.record().input(0).point(n);
            QTRY_COMPARE(sim.state(0).params.in[0].eq[n][1], shown.freq);
            QCOMPARE(sim.state(0).params.in[0].eq[n][2], shown.gain);
        }
    }

    void outputFilterBoxesAndLists() {
        Rig rig = open();
        CPanelEqo* page = rig.outputs();
        QCOMPARE(page->typeList(0)->count(), 9);
        QCOMPARE(page->typeList(0)->itemText(6), QString("Lik-Riley  -12dB"));
        rig.editor->chooseTab(5, 2, 0);
        rig.editor->chooseTab(5, 2, 0);  // output 2
        struct Case {
            int filter;
            const char* typed;
            const char* shown;
            int code;
        };
        const Case cases[] = {{1, "off", "OFF", 255},   {0, "off", "OFF", 0},
                              {1, "25000", "OFF", 255}, {1, "20000", "19816 Hz", 252},
                              {0, "10", "OFF", 0},      {0, "20.4", "20.4 Hz", 1}};
        for (const Case& c : cases) {
            type(page->filterBox(c.filter), c.typed);
            QCOMPARE(page->filterBox(c.filter)->text(), QString(c.shown));
            const OutputChannel& out = rig.record().output(1);
            QCOMPARE(int{c.filter ? out.lowPassFreq() : out.highPassFreq()}, c.code);
        }
        QCOMPARE(int{page->view()->highPassFreq()}, 1);
        QTRY_VERIFY(sent(0x22, 2, 0x0C, {rig.record().output(1).lowPassType(), 252}));
        // Choosing "Lik-Riley  -24dB" for the high-pass.
        page->typeList(0)->setCurrentIndex(7);
        emit page->typeList(0)->activated(7);
        QCOMPARE(rig.record().output(1).highPassType(), uint8_t{7});
        QCOMPARE(page->view()->selected(), int{CQelEqView::kHighPass});
        QTRY_VERIFY(sent(0x22, 2, 0x0B, {7, 1}));
        // The image shows through a refresh: "OFF" for the off codes.
        rig.record().output(1).setLowPassFreq(255);
        rig.record().output(1).setHighPassFreq(143);
        rig.editor->updateAllPanels();
        QCOMPARE(page->filterBox(1)->text(), QString("OFF"));
        QCOMPARE(page->filterBox(0)->text(), QString("1000 Hz"));
        QCOMPARE(page->typeList(0)->currentIndex(), 7);
    }

    void linkedOutputsCopyOnlyTheChangedFilter() {
        Rig rig = open();
        CPanelEqo* page = rig.outputs();
        OutputChannel& one = rig.record().output(0);
        OutputChannel& three = rig.record().output(2);
        one.point(3) = EqPoint{0, 120, 143, 4};
        one.setLowPassFreq(200);
        one.setHighPassType(5);
        three.setHighPassType(2);
        rig.editor->chooseTab(5, 1, 0b101);
        rig.editor->chooseTab(5, 1, 0b101);
        page->typeList(1)->setCurrentIndex(4);
        emit page->typeList(1)->activated(4);
        QCOMPARE(three.lowPassType(), uint8_t{4});
        QCOMPARE(three.lowPassFreq(), uint8_t{200});
        QCOMPARE(three.highPassType(), uint8_t{2});  // the other filter stays
        QTRY_VERIFY(sent(0x25, 1, 0x0C, {4, 200, 1, 3}));
        // A point dragged on the view goes out as a linked point write.
        CQelEqView* view = page->view();
        const auto at = view->curves().position(3);
        const QPointF from(at.x, at.y), to(at.x, 40);
        QMouseEvent press(QEvent::MouseButtonPress, from, from, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, to, to, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        for (QMouseEvent* e : {&press, &move, &release}) QCoreApplication::sendEvent(view, e);
        const EqPoint p = one.point(3);
        QVERIFY(p.gain > 150);
        QCOMPARE(three.point(3), p);
        QCOMPARE(page->gainBox(3)->text(), QString::asprintf("%+.1f dB", p.gain * 0.2 - 24));
        QTRY_VERIFY(sent(0x25, 1, 0x09, {3, p.type, p.freq, p.gain, p.q, 1, 3, 0}));
    }

    // What a remote client changes through ParamEdit shows on the page of that channel at
    // once, and nothing else does; a point dragged on the view meanwhile goes on.
    void outsideEditsOfTheShownChannelShowAtOnce() {
        Rig rig = open();
        CPanelEqo* page = rig.outputs();
        rig.record().output(1).point(1) = EqPoint{0, 120, 100, 4};  // apart from the others
        rig.editor->chooseTab(5, 2, 0);
        rig.editor->chooseTab(5, 2, 0);  // output 2
        ParamEdit& edit = rig.editor->edit();
        const auto remote = [&edit](auto change) {
            ParamEdit::OriginScope scope(edit, {ParamEdit::Origin::Kind::Remote, 3});
            change(edit);
        };
        const EqPoint shelf{2, 150, 130, 9};  // a high shelf of +6 dB
        const auto untouched = page->gainBox(4)->text();
        remote([&](ParamEdit& e) {
            e.setEqPoint(cmd::outputChannel(2), 3, shelf);
            e.setEqPoint(cmd::outputChannel(1), 4, EqPoint{0, 170, 66, 20});  // not shown
            e.setEqSwitch(cmd::outputChannel(2), 1);
            e.setHighPass(2, 7, 40);
            e.setLowPass(2, 3, 200);
        });
        QCOMPARE(page->gainBox(3)->text(), QString("+6.0 dB"));
        QCOMPARE(page->fader(3)->code(), 150);
        QCOMPARE(page->typeSelector(3)->type(), 2);
        QCOMPARE(page->freqBox(3)->text(), freqText(130));
        QVERIFY(!page->qBox(3)->isEnabled());
        QCOMPARE(page->view()->point(3), shelf);
        QCOMPARE(page->gainBox(4)->text(), untouched);
        QVERIFY(page->view()->bypass());
        QCOMPARE(page->typeList(0)->currentIndex(), 7);
        QCOMPARE(int{page->view()->highPassFreq()}, 40);
        QCOMPARE(page->filterBox(1)->text(), freqText(200));
        QCOMPARE(int{page->view()->lowPassType()}, 3);

        // A drag of point 2 on the view; halfway a remote client moves point 6.
        CQelEqView* view = page->view();
        const auto at = view->curves().position(1);
        const auto send = [view](QEvent::Type type, QPointF pos, Qt::MouseButton button,
                                 Qt::MouseButtons held) {
            QMouseEvent e(type, pos, pos, button, held, Qt::NoModifier);
            QCoreApplication::sendEvent(view, &e);
        };
        const QPointF from(at.x, at.y), half(at.x + 30, 60), to(at.x + 60, 40);
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, half, Qt::NoButton, Qt::LeftButton);
        remote([&](ParamEdit& e) { e.setEqPoint(cmd::outputChannel(2), 5, shelf); });
        QCOMPARE(page->view()->point(5), shelf);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        const EqPoint p = rig.record().output(1).point(1);
        QVERIFY(p.gain > 150);
        QCOMPARE(view->point(1), p);
        QCOMPARE(page->gainBox(1)->text(), signedDbText(eqGainDb(p.gain)));
        QCOMPARE(page->gainBox(5)->text(), QString("+6.0 dB"));
        QTRY_VERIFY(sent(0x22, 2, 0x09, {1, p.type, p.freq, p.gain, p.q, 0}));
    }

private:
    Rig open() {
        sim.clearRequests(0);
        LinkSettings link;
        link.endpoint = &endpoint;
        Rig rig(test::EditorRig::open(test::linkedUnit(ip, 4, link), link));
        if (!rig.editor) qFatal("link did not start");
        return rig;
    }

    // The unit received byte 5, channel, code with exactly this payload.
    bool sent(int byte5, int channel, int code, std::vector<uint8_t> payload) const {
        for (const auto& r : sim.requests(0))
            if (r.frame.size() == 10 + payload.size() && r.frame[5] == byte5 &&
                r.frame[8] == channel && r.frame[9] == code &&
                std::equal(payload.begin(), payload.end(), r.frame.begin() + 10))
                return true;
        return false;
    }

    ScriptedMessageBoxes boxes;
    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
    std::string ip;
};

QTEST_MAIN(EqPagesTest)
#include "EqPagesTest.moc"
