// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>
#include <functional>
#include <optional>

#include "UnitSimulator.h"
#include "controls/QelComboBox.h"
#include "controls/QelText.h"
#include "editor/PanelDealy.h"
#include "editor/PanelEqi.h"
#include "editor/PanelEqo.h"
#include "editor/PanelGain.h"
#include "editor/PanelLimiter.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/TypedValue.h"
#include "link/UdpEndpoint.h"
#include "support/EditorRig.h"
#include "support/Loopback.h"

using namespace qel;

namespace {

// One typed value box of a QD408 editor and what the unit holds for it.
struct Box {
    const char* name;
    std::function<CQelText*(CQelEquipmentDlg&)> box;
    std::function<int(const sim::UnitState&)> held;
    int delayUnit = -1;  // the delay page's unit list choice before typing
};

void type(CQelText* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

CPanelGain* gain(CQelEquipmentDlg& e) {
    return static_cast<CPanelGain*>(e.page(1));
}
CPanelDealy* delay(CQelEquipmentDlg& e) {
    return static_cast<CPanelDealy*>(e.page(2));
}
CPanelLimiter* limiter(CQelEquipmentDlg& e) {
    return static_cast<CPanelLimiter*>(e.page(3));
}
CPanelEqi* eqIn(CQelEquipmentDlg& e) {
    return static_cast<CPanelEqi*>(e.page(4));
}
CPanelEqo* eqOut(CQelEquipmentDlg& e) {
    return static_cast<CPanelEqo*>(e.page(5));
}

Box delayBox(const char* name, int unit) {
    return {name, [](CQelEquipmentDlg& e) { return delay(e)->delayBox(1); },
            [](const sim::UnitState& u) { return int{u.params.out[1].delay}; }, unit};
}

const Box kBoxes[] = {
    {"input gain", [](CQelEquipmentDlg& e) { return gain(e)->gainBox(0); },
     [](const sim::UnitState& u) { return int{u.params.in[0].gain}; }},
    {"output gain", [](CQelEquipmentDlg& e) { return gain(e)->gainBox(4 + 1); },
     [](const sim::UnitState& u) { return int{u.params.out[1].gain}; }},
    delayBox("delay ms", CPanelDealy::kMilliseconds),
    delayBox("delay mt", CPanelDealy::kMetres),
    delayBox("delay ft", CPanelDealy::kFeet),
    {"limiter", [](CQelEquipmentDlg& e) { return limiter(e)->levelBox(2); },
     [](const sim::UnitState& u) { return int{u.params.out[2].limLevel}; }},
    {"input EQ frequency", [](CQelEquipmentDlg& e) { return eqIn(e)->freqBox(3); },
     [](const sim::UnitState& u) { return int{u.params.in[0].eq[3][1]}; }},
    {"input EQ gain", [](CQelEquipmentDlg& e) { return eqIn(e)->gainBox(3); },
     [](const sim::UnitState& u) { return int{u.params.in[0].eq[3][2]}; }},
    {"input EQ Q", [](CQelEquipmentDlg& e) { return eqIn(e)->qBox(3); },
     [](const sim::UnitState& u) { return int{u.params.in[0].eq[3][3]}; }},
    {"output EQ frequency", [](CQelEquipmentDlg& e) { return eqOut(e)->freqBox(1); },
     [](const sim::UnitState& u) { return int{u.params.out[0].eq[1][1]}; }},
    {"high-pass",
     [](CQelEquipmentDlg& e) { return eqOut(e)->filterBox(CPanelEqo::kHighPassFilter); },
     [](const sim::UnitState& u) { return int{u.params.out[0].hpfFreq}; }},
    {"low-pass", [](CQelEquipmentDlg& e) { return eqOut(e)->filterBox(CPanelEqo::kLowPassFilter); },
     [](const sim::UnitState& u) { return int{u.params.out[0].lpfFreq}; }},
};

constexpr int kRefused = -1;

}  // namespace

// Every typed value box: what a person types is read as that number or refused, never read as
// another number; an accepted text reaches the unit as exactly its value, a refused one sends
// nothing and says why.
class TypedBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const std::string ip = test::loopbackHost(test::loopbackSubnet(), 4);
        QCOMPARE(sim.addNetworkUnit(4, ip, "Rack"), 0);
        QVERIFY(sim.start());
        QVERIFY(endpoint.open(0));
        LinkSettings link;
        link.endpoint = &endpoint;
        rig.emplace(test::EditorRig::open(test::linkedUnit(ip, 4, link), link));
        QVERIFY(rig->editor);
    }
    void cleanupTestCase() {
        rig.reset();
        sim.stop();
    }

    void textsReadAsTheirNumbers() {
        using P = TypedValue::Problem;
        const std::tuple<const char*, ValueUnit, double, P> cases[] = {
            {"6,5", ValueUnit::Decibel, 6.5, P::None},
            {" -3 dB ", ValueUnit::Decibel, -3, P::None},
            {"-3DB", ValueUnit::Decibel, -3, P::None},
            {"+.5", ValueUnit::Decibel, 0.5, P::None},
            {"\u22122", ValueUnit::Decibel, -2, P::None},
            {"2k", ValueUnit::Hertz, 2000, P::None},
            {"2,5 kHz", ValueUnit::Hertz, 2500, P::None},
            {"12K", ValueUnit::Hertz, 12000, P::None},
            {"1000 Hz", ValueUnit::Hertz, 1000, P::None},
            {"7,25", ValueUnit::Millisecond, 7.25, P::None},
            {"682.000ms", ValueUnit::Millisecond, 682, P::None},
            {"3.460 mt", ValueUnit::Metre, 3.46, P::None},
            {"3 m", ValueUnit::Metre, 3, P::None},
            {"10 ft", ValueUnit::Foot, 10, P::None},
            {"2.4", ValueUnit::None, 2.4, P::None},
            {"", ValueUnit::Decibel, 0, P::Empty},
            {"  ", ValueUnit::Hertz, 0, P::Empty},
            {"6x5", ValueUnit::Decibel, 0, P::NotANumber},
            {"1.2.3", ValueUnit::Decibel, 0, P::NotANumber},
            {"1,2.3", ValueUnit::Decibel, 0, P::NotANumber},
            {"dB", ValueUnit::Decibel, 0, P::NotANumber},
            {"-.", ValueUnit::Decibel, 0, P::NotANumber},
            {"--3", ValueUnit::Decibel, 0, P::NotANumber},
            {"1e3", ValueUnit::Hertz, 0, P::NotANumber},
            {"2k dB", ValueUnit::Hertz, 0, P::OtherUnit},
            {"2k", ValueUnit::Decibel, 0, P::NotANumber},
            {"3 Hz", ValueUnit::Decibel, 0, P::OtherUnit},
            {"5 ms", ValueUnit::Metre, 0, P::OtherUnit},
            {"2 dB", ValueUnit::None, 0, P::NotANumber},
        };
        for (const auto& [text, unit, value, problem] : cases) {
            const TypedValue read = readTypedValue(QString::fromUtf8(text), unit);
            QVERIFY2(read.problem == problem, text);
            QCOMPARE(read.value, value);
        }
    }

    void everyBoxSendsItsValueOrNothing_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("code");      // what the unit then holds, or kRefused
        QTest::addColumn<QString>("said");  // the status bar's words, when it says any
        const auto row = [](int box, const char* typed, int code, const char* said = "") {
            QTest::addRow("%s: \"%s\"", kBoxes[box].name, typed)
                << box << QString::fromUtf8(typed) << code << QString::fromUtf8(said);
        };
        // Gains: dB = code * 0.5 - 50.
        row(0, "6,5", 113);
        row(0, "-3 dB", 94);
        row(0, "6x5", kRefused, "“6x5”不是数值;设备保持 -3.0 dB");
        row(1, "6,5", 113);
        row(1, "+20", 124, "+20 → +12.0 dB,设备可取的最大值");
        row(1, "2 kHz", kRefused, "“2 kHz”的单位不对,这里的单位是 dB;设备保持 +12.0 dB");
        row(1, "", kRefused, "请输入数值;设备保持 +12.0 dB");
        // Delays in samples at 48 kHz, typed in each unit the page offers.
        row(2, "7,25", 348);
        row(2, "2.5 ms", 120);
        row(2, "-5", 0, "-5 → 0.000 ms,设备可取的最小值");
        row(2, "1/5", kRefused, "“1/5”不是数值;设备保持 0.000 ms");
        row(3, "3,46 mt", 480);
        row(3, "1 m", 139);
        row(3, "5 ms", kRefused, "“5 ms”的单位不对,这里的单位是 mt;设备保持 1.002 mt");
        row(4, "10 ft", 423);
        row(4, "11,352", 480);
        row(4, "ten", kRefused, "“ten”不是数值;设备保持 11.352 ft");
        // Limiter: dB = code * 0.5 - 10.
        row(5, "5,5 dB", 31);
        row(5, "1.2.3", kRefused, "“1.2.3”不是数值;设备保持 +5.5 dB");
        // EQ points: frequency table codes, gain (dB + 24) / 0.2, Q (Q - 0.2) / 0.2.
        row(6, "2k", 168);
        row(6, "2.5k", 176);
        row(6, "12K", 234);
        row(6, "1000 Hz", 143);
        row(6, "3 dB", kRefused, "“3 dB”的单位不对,这里的单位是 Hz;设备保持 1000 Hz");
        row(6, "5", 0, "5 → 19.8 Hz,设备可取的最小值");
        row(7, "-3,2 dB", 104);
        row(7, "dB", kRefused, "“dB”不是数值;设备保持 -3.2 dB");
        row(8, "2,4", 11);
        row(8, "Q2", kRefused, "“Q2”不是数值;设备保持 2.4");
        row(9, "6,3k", 210);
        row(9, "5 kHz", 202);
        // Crossovers: the frequency code; the ends of the table switch a filter off.
        row(10, "80 Hz", 51);
        row(10, "2k", 168);
        row(10, "OFF", 0);
        row(10, "8O", kRefused, "“8O”不是数值;设备保持 OFF");
        row(11, "8,023k", 219);
        row(11, "off", 255);
    }

    void everyBoxSendsItsValueOrNothing() {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(int, code);
        QFETCH(QString, said);
        const Box& b = kBoxes[box];
        CQelEquipmentDlg& editor = *rig->editor;
        if (b.delayUnit >= 0) {
            CQelComboBox* list = delay(editor)->unitList();
            list->setCurrentIndex(b.delayUnit);
            emit list->activated(b.delayUnit);
        }
        CQelText* field = b.box(editor);
        const QString before = field->text();
        rig->host->panes.erase(0);
        int edits = 0;
        const auto counting = editor.edit().listen([&edits](const ParamEdit::Result&) { ++edits; });

        type(field, typed);
        QCOMPARE(rig->host->panes[0], said);
        QCOMPARE(field->refused(), code == kRefused);
        if (code == kRefused) {
            QCOMPARE(edits, 0);  // nothing went to the edit path, so nothing is sent
            QCOMPARE(field->text(), before);
            QCOMPARE(field->toolTip(), said);
            // The next text the box is given clears the mark.
            type(field, before);
            QVERIFY(!field->refused());
            QVERIFY(field->toolTip().isEmpty());
            return;
        }
        QVERIFY(edits >= 1);
        QTRY_COMPARE(b.held(sim.state(0)), code);
        QCOMPARE(field->toolTip(), said);
    }

private:
    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
    std::optional<test::EditorRig> rig;
};

QTEST_MAIN(TypedBoxesTest)
#include "TypedBoxesTest.moc"
