// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include "UnitSimulator.h"
#include "controls/QelCheckBtn.h"
#include "controls/QelComboBox.h"
#include "controls/QelGain.h"
#include "controls/QelGainLevel.h"
#include "controls/QelIOSelPoint.h"
#include "controls/QelLigGain.h"
#include "controls/QelLigGain2.h"
#include "controls/QelTStatic.h"
#include "controls/QelText.h"
#include "device/ValueCodes.h"
#include "editor/PanelDealy.h"
#include "editor/PanelGain.h"
#include "editor/PanelLimiter.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/TypedValue.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "support/BoxText.h"
#include "support/EditorRig.h"
#include "support/Loopback.h"

using namespace qel;

namespace {

// One editor on one simulated unit; the meter thread stays asleep so only edits travel.
struct Rig : test::EditorRig {
    explicit Rig(test::EditorRig&& rig) : EditorRig(std::move(rig)) {}
    ModeRecord& record() { return editor->edit().image().record(); }
    CPanelGain* gain() { return static_cast<CPanelGain*>(editor->page(1)); }
    CPanelDealy* delay() { return static_cast<CPanelDealy*>(editor->page(2)); }
    CPanelLimiter* limiter() { return static_cast<CPanelLimiter*>(editor->page(3)); }
};

void type(CQelText* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// What a user's choice in a drop-down list does.
void choose(CQelComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
}

}  // namespace

// The gain, delay and limiter pages against simulated units: what a typed value, a click or
// a choice shows, writes into the image and sends; the layout on each model.
class PagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const std::string subnet = test::loopbackSubnet();
        for (int model = 2; model <= 4; ++model) {
            ips[model] = test::loopbackHost(subnet, model);
            QCOMPARE(sim.addNetworkUnit(model, ips[model], "Rack"), model - 2);
        }
        QVERIFY(sim.start());
        QVERIFY(endpoint.open(0));
    }

    void decibelsShowWithTheirSign() {
        QCOMPARE(signedDbText(-0.0), QString("+0.0 dB"));
        QCOMPARE(signedDbText(-49.5), QString("-49.5 dB"));
    }

    void gainPageSendsTypedGainsMuteAndPolarity() {
        Rig rig = open(3);  // QD406: inputs A..D, outputs 1..6 from strip 4
        CPanelGain* page = rig.gain();
        const auto gainOf = [&rig](int strip) {
            return strip < 4 ? rig.record().input(strip).gain()
                             : rig.record().output(strip - 4).gain();
        };
        const std::tuple<int, const char*, const char*, int, int> typed[] = {
            {0, "20", "+12.0 dB", 0x12, 124},
            {5, "-60", "-50.0 dB", 0x22, 0},
            {1, "-0.2", "+0.0 dB", 0x12, 100}};
        for (const auto& [strip, text, shown, block, code] : typed) {
            type(page->gainBox(strip), text);
            QCOMPARE(page->gainBox(strip)->text(), QString(shown));
            QCOMPARE(int{gainOf(strip)}, code);
            QTRY_VERIFY(sent(rig, block, strip < 4 ? strip + 1 : strip - 3, 0x01, code));
        }
        QCOMPARE(page->fader(0)->knobY(), 26);
        QTest::keyClick(page->fader(0), Qt::Key_Down);  // the fader reports, the box follows
        QCOMPARE(page->gainBox(0)->text(), QString("+11.5 dB"));
        QTRY_COMPARE(sim.state(rig.simUnit).params.in[0].gain, uint8_t{123});

        // Mute on output 3 is output record 3, not input record 3.
        QTest::mouseClick(page->muteButton(4 + 2), Qt::LeftButton, {}, QPoint(24, 11));
        QCOMPARE(rig.record().output(2).mute(), uint8_t{1});
        QCOMPARE(rig.record().input(2).mute(), uint8_t{0});
        QTRY_VERIFY(sent(rig, 0x22, 3, 0x02, 1));
        QTRY_COMPARE(sim.state(rig.simUnit).params.out[2].mute, uint8_t{1});
        QCOMPARE(sim.state(rig.simUnit).params.in[2].mute, uint8_t{0});
        QTest::mouseClick(page->polarityButton(0), Qt::LeftButton, {}, QPoint(24, 11));
        QCOMPARE(page->polarityButton(0)->shownText(), QString("Phase180"));
        QCOMPARE(rig.record().output(0).polarity(), uint8_t{1});
        QTRY_VERIFY(sent(rig, 0x22, 1, 0x03, 1));

        // A load shows the image and changes nothing.
        rig.record().output(5).setGain(90);
        rig.record().output(5).setMute(1);
        rig.record().output(0).setPolarity(0);
        int edits = 0;
        const auto counting =
            rig.editor->edit().listen([&edits](const ParamEdit::Result&) { ++edits; });
        rig.editor->updateAllPanels();
        QCOMPARE(page->gainBox(9)->text(), QString("-5.0 dB"));
        QCOMPARE(page->fader(9)->knobY(), 91);  // 72 + 5 * 3.8387
        QVERIFY(page->muteButton(9)->isChecked());
        QCOMPARE(page->polarityButton(0)->shownText(), QString("Phase 0°"));
        QCOMPARE(edits, 0);
    }

    void delayPageTypedDelays_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QString>("shown");
        QTest::newRow("10 ms") << 0 << "10" << 480 << "10.000 ms";
        QTest::newRow("0.01 ms") << 0 << "0.01" << 0 << "0.000 ms";
        QTest::newRow("0.011 ms") << 0 << "0.011" << 1 << "0.021 ms";
        QTest::newRow("700 ms") << 0 << "700" << 32736 << "682.000 ms";
        QTest::newRow("-5 ms") << 0 << "-5" << 0 << "0.000 ms";
        QTest::newRow("1 m") << 1 << "1" << 139 << "1.002 mt";
        QTest::newRow("300 m") << 1 << "300" << 32736 << "235.972 mt";
        QTest::newRow("-2 m") << 1 << "-2" << 0 << "0.000 mt";
        QTest::newRow("10 ft") << 2 << "10" << 423 << "10.004 ft";
        QTest::newRow("1000 ft") << 2 << "1000" << 32736 << "774.186 ft";
    }

    void delayPageTypedDelays() {
        QFETCH(int, unit);
        QFETCH(QString, typed);
        QFETCH(int, samples);
        QFETCH(QString, shown);
        Rig rig = open(2);
        CPanelDealy* page = rig.delay();
        rig.record().output(3).setDelay(5);
        choose(page->unitList(), unit);
        type(page->delayBox(3), typed);
        QCOMPARE(page->delayBox(3)->text(), shown);
        QCOMPARE(int{rig.record().output(3).delay()}, samples);
        QTRY_VERIFY(sent(rig, 0x22, 4, 0x04, samples));
        QTRY_COMPARE(int{sim.state(rig.simUnit).params.out[3].delay}, samples);
    }

    void delayUnitIsADisplayChoice() {
        Rig rig = open(3);
        CPanelDealy* page = rig.delay();
        int edits = 0;
        type(page->delayBox(0), "10");
        const auto counting =
            rig.editor->edit().listen([&edits](const ParamEdit::Result&) { ++edits; });
        choose(page->unitList(), CPanelDealy::kMetres);
        QCOMPARE(page->delayBox(0)->text(), QString("3.460 mt"));
        choose(page->unitList(), CPanelDealy::kMilliseconds);
        QCOMPARE(page->delayBox(0)->text(), QString("10.000 ms"));
        choose(page->unitList(), CPanelDealy::kFeet);
        QCOMPARE(page->delayBox(0)->text(), QString("11.352 ft"));
        QCOMPARE(edits, 0);
        // A load writes the boxes in the unit the list shows.
        rig.record().output(1).setDelay(480);
        choose(page->unitList(), CPanelDealy::kMetres);
        rig.editor->updateAllPanels();
        QCOMPARE(page->delayBox(1)->text(), QString("3.460 mt"));
        QCOMPARE(page->delayBox(2)->text(), QString("0.000 mt"));  // the fresh image holds 0
        QCOMPARE(edits, 0);
        // Committing a loaded box keeps the unit's samples.
        type(page->delayBox(1), page->delayBox(1)->text());
        QCOMPARE(rig.record().output(1).delay(), uint16_t{480});
        // A switch shows the samples the unit holds, not a value worked out from the text.
        type(page->delayBox(3), "1");
        QTRY_COMPARE(int{sim.state(rig.simUnit).params.out[3].delay}, 139);
        choose(page->unitList(), CPanelDealy::kMilliseconds);
        QCOMPARE(page->delayBox(3)->text(), QString("2.896 ms"));
        type(page->delayBox(3), "0.021");
        QTRY_COMPARE(int{sim.state(rig.simUnit).params.out[3].delay}, 1);
        choose(page->unitList(), CPanelDealy::kMetres);
        choose(page->unitList(), CPanelDealy::kMilliseconds);
        QCOMPARE(page->delayBox(3)->text(), QString("0.021 ms"));
    }

    // The widest value of each box on the gain, delay and limiter pages shows whole and as
    // the unit holds it.
    void valueBoxesShowTheWholeValueTheUnitHolds() {
        Rig rig = open(4);
        const auto unit = [this, &rig] { return sim.state(rig.simUnit).params; };
        const auto check = [](CQelText* box, double value, ValueUnit in = ValueUnit::Decibel) {
            QVERIFY2(test::showsWholeText(*box), qPrintable(box->text()));
            const TypedValue shown = readTypedValue(box->text(), in);
            QVERIFY2(shown.ok(), qPrintable(box->text()));
            QCOMPARE(shown.value, value);
        };
        const std::tuple<const char*, int, int> extremes[] = {{"-60", 0, 0}, {"20", 124, 60}};
        for (const auto& [typed, gain, level] : extremes) {
            type(rig.gain()->gainBox(11), typed);
            type(rig.limiter()->levelBox(7), typed);
            QTRY_COMPARE(int{unit().out[7].limLevel}, level);
            QTRY_COMPARE(int{unit().out[7].gain}, gain);
            check(rig.gain()->gainBox(11), unit().out[7].gain * 0.5 - 50);
            check(rig.limiter()->levelBox(7), unit().out[7].limLevel * 0.5 - 10);
        }
        CPanelDealy* page = rig.delay();
        const double perMs[] = {1, CPanelDealy::kMetresPerMs, CPanelDealy::kFeetPerMs};
        for (int u = CPanelDealy::kMilliseconds; u <= CPanelDealy::kFeet; ++u) {
            choose(page->unitList(), u);
            type(page->delayBox(7), "99999");
            QTRY_COMPARE(int{unit().out[7].delay}, 32736);
            const double shown = unit().out[7].delay * CPanelDealy::kMsPerSample * perMs[u];
            const ValueUnit units[] = {ValueUnit::Millisecond, ValueUnit::Metre, ValueUnit::Foot};
            check(page->delayBox(7), std::round(shown * 1000) / 1000, units[u]);
        }
    }

    void routingPointsSendTheUnitsCode_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("pairCode");
        QTest::newRow("QD206") << 2 << 3;
        QTest::newRow("QD406") << 3 << 5;
    }

    void routingPointsSendTheUnitsCode() {
        QFETCH(int, model);
        QFETCH(int, pairCode);
        Rig rig = open(model);
        CPanelDealy* page = rig.delay();
        rig.editor->updateAllPanels();
        click(page->point(1, 0));
        QCOMPARE(rig.record().output(1).inputSelect(), uint8_t{0x1});
        QTRY_VERIFY(sent(rig, 0x22, 2, 0x00, 1));
        click(page->point(1, 1));
        QCOMPARE(rig.record().output(1).inputSelect(), uint8_t{0x3});
        QTRY_VERIFY(sent(rig, 0x22, 2, 0x00, pairCode));
        QTRY_COMPARE(int{sim.state(rig.simUnit).params.out[1].inputSelectCode}, pairCode);
        click(page->point(1, 0));
        click(page->point(1, 1));
        QCOMPARE(rig.record().output(1).inputSelect(), uint8_t{0});
        QTRY_COMPARE(int{sim.state(rig.simUnit).params.out[1].inputSelectCode}, 0);
        // A load sets the points from the masks.
        rig.record().output(2).setInputSelect(0x2);
        rig.editor->updateAllPanels();
        QVERIFY(!page->point(2, 0)->isChecked());
        QVERIFY(page->point(2, 1)->isChecked());
    }

    void limiterPageSendsLevelsAttackAndRelease() {
        Rig rig = open(3);
        CPanelLimiter* page = rig.limiter();
        const std::tuple<const char*, const char*, int> levels[] = {
            {"25", "+20.0 dB", 60}, {"-20", "-10.0 dB", 0}, {"0", "+0.0 dB", 20}};
        for (const auto& [typed, shown, code] : levels) {
            rig.record().output(4).setLimiterLevel(33);
            type(page->levelBox(4), typed);
            QCOMPARE(page->levelBox(4)->text(), QString(shown));
            QCOMPARE(int{rig.record().output(4).limiterLevel()}, code);
            QTRY_VERIFY(sent(rig, 0x22, 5, 0x05, code));
        }
        QCOMPARE(page->fader(4)->knobY(), 73);
        QTest::keyClick(page->fader(4), Qt::Key_Up);
        QCOMPARE(page->levelBox(4)->text(), QString("+0.5 dB"));
        QTRY_VERIFY(sent(rig, 0x22, 5, 0x05, 21));
        QTRY_COMPARE(sim.state(rig.simUnit).params.out[4].limLevel, uint8_t{21});

        QCOMPARE(page->attackList(2)->itemText(2), QString("5 ms"));
        choose(page->attackList(2), 2);
        QCOMPARE(rig.record().output(2).limiterAttack(), uint8_t{2});
        QTRY_VERIFY(sent(rig, 0x22, 3, 0x06, 2));
        QCOMPARE(page->releaseList(0)->itemText(12), QString("1000 ms"));
        choose(page->releaseList(0), 12);
        QCOMPARE(rig.record().output(0).limiterRelease(), uint8_t{12});
        QTRY_VERIFY(sent(rig, 0x22, 1, 0x07, 12));
        QTRY_COMPARE(sim.state(rig.simUnit).params.out[0].limRelease, uint8_t{12});

        rig.record().output(1).setLimiterLevel(40);
        rig.record().output(1).setLimiterAttack(11);
        rig.record().output(1).setLimiterRelease(7);
        rig.editor->updateAllPanels();
        QCOMPARE(page->levelBox(1)->text(), QString("+10.0 dB"));
        QCOMPARE(page->fader(1)->knobY(), 37);  // 73 - 10 * 3.5667
        QCOMPARE(page->attackList(1)->currentText(), QString("90 ms"));
        QCOMPARE(page->releaseList(1)->currentText(), QString("500 ms"));
    }

    void pagesAreLaidOutByModel_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QList<int>>("gainX");     // input B, output 1, last output
        QTest::addColumn<QPoint>("lastPoint");     // last output's last routing point
        QTest::addColumn<int>("lastInputY");       // delay page
        QTest::addColumn<QList<int>>("limiterX");  // input B, last output
        QTest::newRow("QD206") << 2 << QList{142, 258, 858} << QPoint(391, 444) << 312
                               << QList{170, 853};
        QTest::newRow("QD406") << 3 << QList{112, 388, 858} << QPoint(481, 444) << 308
                               << QList{80, 853};
        QTest::newRow("QD408") << 4 << QList{103, 360, 857} << QPoint(481, 449) << 400
                               << QList{80, 855};
    }

    void pagesAreLaidOutByModel() {
        QFETCH(int, model);
        QFETCH(QList<int>, gainX);
        QFETCH(QPoint, lastPoint);
        QFETCH(int, lastInputY);
        QFETCH(QList<int>, limiterX);
        Rig rig = open(model);
        const int ins = model == 2 ? 2 : 4, outs = model == 4 ? 8 : 6, last = ins + outs - 1;
        CPanelGain* gain = rig.gain();
        QCOMPARE(gain->findChildren<CQelGain*>().size(), ins + outs);
        QCOMPARE(gain->findChildren<CQelCheckBtn*>().size(), ins + 2 * outs);
        QCOMPARE(gain->findChildren<CQelLigGain*>().size(), ins + outs);
        QCOMPARE(gain->label(1)->geometry(), QRect(gainX[0], 32, 64, 20));
        QCOMPARE(gain->label(ins)->geometry().x(), gainX[1]);
        QCOMPARE(gain->label(ins)->text(), QString("Output 1"));
        QCOMPARE(gain->fader(last)->geometry(), QRect(gainX[2], 112, 38, 282));
        QCOMPARE(gain->meter(last)->geometry(), QRect(gainX[2] + 40, 115, 17, 202));
        QCOMPARE(gain->polarityButton(outs - 1)->geometry(), QRect(gainX[2] + 8, 435, 48, 23));

        CPanelDealy* delay = rig.delay();
        QCOMPARE(delay->findChildren<CQelIOSelPoint*>().size(), ins * outs);
        QCOMPARE(delay->findChildren<CQelText*>().size(), outs);
        QCOMPARE(delay->findChildren<CQelLigGain2*>().size(), ins + outs);
        QCOMPARE(delay->label(ins - 1)->geometry(), QRect(64, lastInputY, 64, 20));
        QCOMPARE(delay->point(outs - 1, ins - 1)->geometry(), QRect(lastPoint, QSize(10, 10)));
        QCOMPARE(delay->delayBox(outs - 1)->geometry(), QRect(710, lastPoint.y() - 6, 100, 20));
        QCOMPARE(delay->meter(ins)->geometry(), QRect(560, 48, 140, 36));

        CPanelLimiter* limiter = rig.limiter();
        QCOMPARE(limiter->findChildren<CQelGainLevel*>().size(), outs);
        QCOMPARE(limiter->findChildren<CQelComboBox*>().size(), 2 * outs);
        QCOMPARE(limiter->findChildren<CQelLigGain*>().size(), ins + outs);
        QCOMPARE(limiter->meter(1)->geometry(), QRect(limiterX[0], 64, 47, 202));
        QCOMPARE(limiter->label(1)->text(), QString("B"));
        QCOMPARE(limiter->fader(outs - 1)->geometry(), QRect(limiterX[1] + 10, 300, 38, 130));
        QCOMPARE(limiter->releaseList(outs - 1)->geometry(), QRect(limiterX[1], 462, 64, 22));
    }

    void metersFollowTheDisplayBytes() {
        Rig rig = open(2);
        uint8_t bytes[12] = {5, 9, 7, 7, 20, 21, 22, 23, 24, 25, 7, 7};
        rig.editor->edit().image().setMeters(bytes);
        const ModeImage& image = rig.editor->edit().image();
        rig.gain()->showMeters(image);
        rig.delay()->showMeters(image);
        rig.limiter()->showMeters(image);
        for (int c = 0; c < 8; ++c) {
            const int expected = c < 2 ? bytes[c] : bytes[4 + c - 2];  // output 1 reads slot 4
            QCOMPARE(rig.gain()->meter(c)->level(), expected);
            QCOMPARE(rig.delay()->meter(c)->level(), expected);
            QCOMPARE(rig.limiter()->meter(c)->level(), expected);
        }
    }

    void neighbourKeysMoveTheFocusAndStopAtTheEnds() {
        Rig rig = open(3);  // 10 gain faders, 6 limiter faders
        rig.editor->show();
        QVERIFY(QTest::qWaitForWindowActive(rig.editor.get()));
        const std::tuple<int, int, Qt::Key, int> moves[] = {
            {1, 0, Qt::Key_Left, 0}, {1, 0, Qt::Key_Right, 1}, {1, 9, Qt::Key_Right, 9},
            {1, 9, Qt::Key_Left, 8}, {3, 5, Qt::Key_Right, 5}, {3, 5, Qt::Key_Left, 4},
            {3, 0, Qt::Key_Left, 0}};
        for (const auto& [page, from, key, to] : moves) {
            rig.editor->showPage(page);
            const auto fader = [&rig, page](int i) -> CQelFader* {
                return page == 1 ? static_cast<CQelFader*>(rig.gain()->fader(i))
                                 : rig.limiter()->fader(i);
            };
            fader(from)->setFocus();
            QTest::keyClick(fader(from), key);
            QVERIFY2(fader(to)->hasFocus() && fader(to)->isHighlighted(),
                     qPrintable(QString("page %1: %2 -> %3").arg(page).arg(from).arg(to)));
        }
        // The editor goes away with a typed delay not yet committed (the sanitizer build
        // would report a commit into the half-destroyed editor).
        rig.editor->showPage(2);
        rig.delay()->delayBox(0)->setFocus();
        QTest::keyClicks(rig.delay()->delayBox(0), "5");
        QVERIFY(rig.delay()->delayBox(0)->hasFocus());
    }

    // Edits someone else makes through ParamEdit (here a remote client) show on the pages at
    // once, without making edits of their own; a fader drag goes on through them.
    void outsideEditsShowAtOnceAndADragGoesOn() {
        Rig rig = open(3);  // QD406: strips 0..3 inputs, 4..9 outputs
        rig.editor->show();
        QVERIFY(QTest::qWaitForWindowActive(rig.editor.get()));
        ParamEdit& edit = rig.editor->edit();
        int edits = 0;
        const auto counting = edit.listen([&edits](const ParamEdit::Result&) { ++edits; });
        const auto remote = [&edit](auto change) {
            ParamEdit::OriginScope scope(edit, {ParamEdit::Origin::Kind::Remote, 1});
            change(edit);
        };
        remote([](ParamEdit& e) {
            e.setGain(cmd::outputChannel(2), gainCode(-6));
            e.setMute(cmd::inputChannel(3), 1);
            e.setPolarity(6, 1);
            e.setDelay(4, 480);
            e.setInputSelect(1, 0x5);
            e.setLimiterLevel(2, 40);
            e.setLimiterAttack(3, 11);
            e.setLimiterRelease(3, 7);
        });
        QCOMPARE(edits, 8);  // the pages only show them
        CPanelGain* gain = rig.gain();
        QCOMPARE(gain->gainBox(5)->text(), QString("-6.0 dB"));
        QCOMPARE(gain->fader(5)->code(), int{gainCode(-6)});
        QVERIFY(gain->muteButton(2)->isChecked());
        QCOMPARE(gain->polarityButton(5)->shownText(), QString("Phase180"));
        QCOMPARE(rig.delay()->delayBox(3)->text(), QString("10.000 ms"));
        QVERIFY(rig.delay()->point(0, 0)->isChecked() && rig.delay()->point(0, 2)->isChecked());
        QVERIFY(!rig.delay()->point(0, 1)->isChecked());
        QCOMPARE(rig.limiter()->levelBox(1)->text(), QString("+10.0 dB"));
        QCOMPARE(rig.limiter()->attackList(2)->currentText(), QString("90 ms"));
        QCOMPARE(rig.limiter()->releaseList(2)->currentText(), QString("500 ms"));

        // A drag of input A; halfway a remote client moves input B and input A itself.
        CQelFader* fader = gain->fader(0);
        const QPoint knob(28, fader->knobY() + 5);
        const auto drag = [&](int from, int to) {
            for (int dy = from; dy <= to; dy += 4) {
                QTest::mouseMove(fader, knob + QPoint(0, dy));
                QTest::qWait(5);
            }
        };
        QTest::mousePress(fader, Qt::LeftButton, {}, knob);
        drag(4, 40);
        edits = 0;
        remote([](ParamEdit& e) {
            e.setGain(cmd::inputChannel(2), gainCode(3));
            e.setGain(cmd::inputChannel(1), gainCode(10));
        });
        QCOMPARE(edits, 2);
        QCOMPARE(gain->gainBox(1)->text(), QString("+3.0 dB"));
        QCOMPARE(gain->gainBox(0)->text(), QString("+10.0 dB"));
        drag(44, 80);
        QTest::mouseRelease(fader, Qt::LeftButton, {}, knob + QPoint(0, 80));
        const uint8_t dragged = rig.record().input(0).gain();
        QVERIFY(dragged < gainCode(0));
        QCOMPARE(fader->code(), int{dragged});
        QCOMPARE(gain->gainBox(0)->text(), signedDbText(gainDb(dragged)));
        QTRY_COMPARE(sim.state(rig.simUnit).params.in[0].gain, dragged);
        QCOMPARE(sim.state(rig.simUnit).params.in[1].gain, gainCode(3));
    }

    void cleanupTestCase() { sim.stop(); }

private:
    Rig open(int model) {
        sim.clearRequests(model - 2);
        LinkSettings link;
        link.endpoint = &endpoint;
        Rig rig(test::EditorRig::open(test::linkedUnit(ips[model], model, link), link));
        if (!rig.editor) qFatal("link did not start");
        rig.simUnit = model - 2;
        return rig;
    }

    // The unit received a write on block byte5, channel, code with this 16-bit payload.
    bool sent(const Rig& rig, int byte5, int channel, int code, int payload) const {
        for (const auto& r : sim.requests(rig.simUnit))
            if (r.frame.size() > 11 && r.frame[5] == byte5 && r.frame[8] == channel &&
                r.frame[9] == code && (r.frame[10] | r.frame[11] << 8) == payload)
                return true;
        return false;
    }

    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
    std::string ips[5];
};

QTEST_MAIN(PagesTest)
#include "PagesTest.moc"
