// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QElapsedTimer>
#include <QtTest>
#include <memory>

#include "controls/ControlTestSupport.h"
#include "controls/QelGain.h"
#include "controls/QelGainEq.h"
#include "controls/QelGainLevel.h"
#include "controls/QelLigGain.h"
#include "controls/QelLigGain2.h"

using namespace qel;

namespace {

struct Report {
    int code;
    float db;
    qint64 ms;  // since the recorder started
};

// A fader of the given kind with its reports and side keys recorded.
struct Rig {
    std::unique_ptr<CQelFader> fader;
    QObject owner;
    std::vector<Report> reports;
    std::vector<int> sideKeys;
    QElapsedTimer clock;

    explicit Rig(const QString& kind) {
        if (kind == "gain") fader = std::make_unique<CQelGain>();
        if (kind == "eq") fader = std::make_unique<CQelGainEq>();
        if (kind == "level") fader = std::make_unique<CQelGainLevel>();
        clock.start();
        fader->setCallbacks(
            &owner, 7,
            [this](QObject* o, int id, int code, float db) {
                QCOMPARE(o, &owner);
                QCOMPARE(id, 7);
                reports.push_back({code, db, clock.elapsed()});
            },
            [this](QObject*, int, int direction) { sideKeys.push_back(direction); });
    }
    int count() const { return static_cast<int>(reports.size()); }
    Report last() const { return reports.empty() ? Report{-1, 0, 0} : reports.back(); }
    QPoint knob() const { return {28, fader->knobY() + 5}; }
};

QRgb pixel(QWidget& w, QPoint at) {
    return test::shot(w).pixel(at);
}
QRgb skinPixel(int id, QPoint at) {
    return skin::bitmap(id)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied)
        .pixel(at);
}

}  // namespace

class TestValueControls : public QObject {
    Q_OBJECT

private slots:
    void scalesSetAndDragAtStopsAndMidpoints_data();
    void scalesSetAndDragAtStopsAndMidpoints();
    void keysStepAndSideKeysGoToTheOwner();
    void trackPressStepsAndRepeatsUntilTheKnobReachesThePointer();
    void dragReportsAtMostEvery40MsAndOnlyChangedCodes();
    void knobShowsItsHighlightWhilePressedOrFocused();
    void metersLightTheirLevel();
};

void TestValueControls::scalesSetAndDragAtStopsAndMidpoints_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("setDb");
    QTest::addColumn<int>("knobY");
    QTest::addColumn<int>("setCode");
    QTest::addColumn<int>("dragTo");  // knob y the drag ends at
    QTest::addColumn<double>("dragDb");
    QTest::addColumn<int>("dragCode");
    QTest::newRow("gain 0, to the top") << "gain" << 0.0 << 72 << 100 << 26 << 12.0 << 124;
    QTest::newRow("gain +12, to the bottom") << "gain" << 12.0 << 26 << 124 << 263 << -50.0 << 0;
    QTest::newRow("gain -50, past the top") << "gain" << -50.0 << 263 << 0 << -40 << 12.0 << 124;
    QTest::newRow("gain -20, bias takes -0.24 down")
        << "gain" << -20.0 << 148 << 60 << 73 << -0.5 << 99;
    QTest::newRow("gain +30 is limited, +0.28 up")
        << "gain" << 30.0 << 26 << 124 << 71 << 0.5 << 101;
    QTest::newRow("gain NaN is the bottom") << "gain" << qQNaN() << 263 << 0 << 110 << -10.0 << 80;
    QTest::newRow("eq 0, to the top") << "eq" << 0.0 << 33 << 120 << 2 << 12.0 << 180;
    QTest::newRow("eq -24, past the bottom") << "eq" << -24.0 << 95 << 0 << 140 << -24.0 << 0;
    QTest::newRow("eq 3.3 rounds, no bias") << "eq" << 3.3 << 24 << 137 << 34 << -0.2 << 119;
    QTest::newRow("eq -6, midpoint") << "eq" << -6.0 << 48 << 90 << 60 << -10.2 << 69;
    QTest::newRow("level 0, to the top") << "level" << 0.0 << 73 << 20 << 2 << 20.0 << 60;
    QTest::newRow("level +20, to the bottom") << "level" << 20.0 << 2 << 60 << 108 << -10.0 << 0;
    QTest::newRow("level 5, bias") << "level" << 5.0 << 55 << 30 << 74 << -0.5 << 19;
}

// Setting moves the knob and reports nothing; a drag moves it with the pointer, and the
// release reports the rounded value.
void TestValueControls::scalesSetAndDragAtStopsAndMidpoints() {
    QFETCH(QString, kind);
    QFETCH(double, setDb);
    QFETCH(int, knobY);
    QFETCH(int, setCode);
    QFETCH(int, dragTo);
    QFETCH(double, dragDb);
    QFETCH(int, dragCode);
    Rig rig(kind);
    CQelFader& f = *rig.fader;
    const QString name = kind == "gain" ? "CQelGain"
                         : kind == "eq" ? "CQelGainEq"
                                        : "CQelGainLevel";
    QCOMPARE(f.objectName(), "Qel." + name);
    f.setValue(setDb);
    QCOMPARE(f.knobY(), knobY);
    QCOMPARE(f.code(), setCode);
    QCOMPARE(rig.count(), 0);
    f.setValue(0);
    f.setCode(setCode);  // the same knob from the unit's code
    QCOMPARE(f.knobY(), knobY);

    QTest::mousePress(&f, Qt::LeftButton, {}, rig.knob());
    QVERIFY(f.isPressed());
    QTest::mouseMove(&f, {28, dragTo + 5});
    const int top = f.scale().dragTop, bottom = f.scale().dragBottom;
    QCOMPARE(f.knobY(), std::clamp(dragTo, top, bottom));
    QTest::mouseRelease(&f, Qt::LeftButton, {}, {28, dragTo + 5});
    QVERIFY(!f.isPressed());
    QCOMPARE(rig.last().code, dragCode);
    QCOMPARE(rig.last().db, float(dragDb));
    QCOMPARE(f.code(), dragCode);
}

void TestValueControls::keysStepAndSideKeysGoToTheOwner() {
    QWidget host;
    Rig rig("eq");
    CQelFader& f = *rig.fader;
    f.setParent(&host);
    f.show();
    auto* other = new CQelGainEq(&host);
    other->move(40, 0);
    host.show();
    host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    f.setFocus();
    QTRY_VERIFY(f.hasFocus());
    QVERIFY(f.isHighlighted());

    f.setValue(11.8);
    QTest::keyClick(&f, Qt::Key_Up);
    QTest::keyClick(&f, Qt::Key_Up);  // held at +12 and still reported
    QTest::keyClick(&f, Qt::Key_Down);
    QCOMPARE(rig.count(), 3);
    QCOMPARE(rig.reports[0].code, 180);
    QCOMPARE(rig.reports[1].code, 180);
    QCOMPARE(rig.reports[1].db, 12.0f);
    QCOMPARE(rig.reports[2].code, 179);
    QCOMPARE(rig.reports[2].db, 11.8f);
    QCOMPARE(f.knobY(), f.knobYFor(11.8));

    QTest::keyClick(&f, Qt::Key_Left);
    QTest::keyClick(&f, Qt::Key_Right);
    QCOMPARE(rig.sideKeys, (std::vector<int>{0, 1}));
    QTest::keyClick(&f, Qt::Key_A);
    QTest::keyClick(&f, Qt::Key_Tab);  // swallowed too: the focus stays
    QVERIFY(f.hasFocus());
    QCOMPARE(rig.count(), 3);

    other->setFocus();
    QTRY_VERIFY(!f.isHighlighted());
}

// Above the knob: one step at the press, one after 260 ms, then every 60 ms until the knob's
// top is 7..9 pixels above the pointer (y 50: knob y 43, +7.5 dB after 15 steps).
void TestValueControls::trackPressStepsAndRepeatsUntilTheKnobReachesThePointer() {
    Rig rig("gain");
    CQelFader& f = *rig.fader;
    QTest::mousePress(&f, Qt::LeftButton, {}, {10, 50});
    QCOMPARE(rig.count(), 1);
    QCOMPARE(rig.last().db, 0.5f);
    QTest::qWait(150);
    QCOMPARE(rig.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(rig.count(), 15, 5000);
    QTest::qWait(200);
    QCOMPARE(rig.count(), 15);
    QCOMPARE(f.knobY(), 43);
    for (int i = 0; i < 15; ++i) QCOMPARE(rig.reports[i].db, 0.5f * float(i + 1));
    const qint64 first = rig.reports[1].ms - rig.reports[0].ms;
    const qint64 rest = rig.reports[14].ms - rig.reports[1].ms;
    QVERIFY2(first >= 240, qPrintable(QString::number(first)));
    QVERIFY2(rest >= 13 * 55 && rest < 13 * 240, qPrintable(QString::number(rest)));
    QTest::mouseRelease(&f, Qt::LeftButton, {}, {10, 50});
    QCOMPARE(rig.count(), 16);  // the release reports though nothing changed
    QCOMPARE(rig.last().code, 115);

    // Below the knob it steps down; a knob press soon after the release is not stepped by the
    // track press's timer.
    QTest::mouseClick(&f, Qt::LeftButton, {}, {10, 250});
    QCOMPARE(rig.count(), 18);
    QCOMPARE(rig.reports[16].db, 7.0f);
    QTest::mousePress(&f, Qt::LeftButton, {}, rig.knob());
    QTest::qWait(350);
    QCOMPARE(rig.count(), 18);
    QCOMPARE(f.value(), 7.0f);
    QTest::mouseRelease(&f, Qt::LeftButton, {}, rig.knob());
    QCOMPARE(rig.count(), 19);
    QCOMPARE(rig.last().code, 114);
}

void TestValueControls::dragReportsAtMostEvery40MsAndOnlyChangedCodes() {
    Rig rig("gain");
    CQelFader& f = *rig.fader;
    QTest::mousePress(&f, Qt::LeftButton, {}, rig.knob());  // knob y 72, pointer 77
    QVERIFY(rig.reports.empty());
    for (const int y : {65, 55, 45}) QTest::mouseMove(&f, {28, y});  // knob y 60, 50, 40
    QCOMPARE(rig.count(), 1);
    QCOMPARE(rig.last().code, 106);
    QTRY_COMPARE(rig.count(), 2);  // the drag timer catches the resting knob
    QCOMPARE(rig.last().code, 117);
    QTest::qWait(200);
    QCOMPARE(rig.count(), 2);

    QTest::mouseMove(&f, {28, 44});  // knob y 39: still 8.5 dB
    QCOMPARE(rig.count(), 2);
    QTest::mouseMove(&f, {28, 55});  // knob y 50: 5.5 dB
    QCOMPARE(rig.count(), 3);
    QCOMPARE(rig.last().code, 111);
    QTest::mouseMove(&f, {28, 50});  // knob y 45, 7 dB: held back, then caught by the timer
    QCOMPARE(rig.count(), 3);
    QTRY_COMPARE(rig.count(), 4);
    QCOMPARE(rig.last().code, 114);
    for (int i = 1; i < rig.count(); ++i) {
        QVERIFY(rig.reports[i].code != rig.reports[i - 1].code);
        QVERIFY(rig.reports[i].ms - rig.reports[i - 1].ms >= 40);
    }
    QTest::mouseRelease(&f, Qt::LeftButton, {}, {28, 50});
    QCOMPARE(rig.count(), 5);
    QCOMPARE(rig.last().code, 114);
    QTest::qWait(150);
    QCOMPARE(rig.count(), 5);
}

void TestValueControls::knobShowsItsHighlightWhilePressedOrFocused() {
    for (const QString kind : {"gain", "eq", "level"}) {
        Rig rig(kind);
        CQelFader& f = *rig.fader;
        const int id = f.scale().bitmapId, knobTop = f.scale().knobSourceY;
        QCOMPARE(skin::bitmap(id).size(), QSize(38, knobTop + 20));
        const QPoint onKnob(CQelFader::kKnobX + 8, f.knobY() + 3);
        const QRgb normal = skinPixel(id, {8, knobTop + 3});
        const QRgb lit = skinPixel(id, {17 + 8, knobTop + 3});
        QVERIFY(normal != lit);
        QCOMPARE(pixel(f, onKnob), normal);
        const QPoint zeroTick(18, f.knobY() + 9);  // beside the knob at 0 dB
        QCOMPARE(pixel(f, zeroTick), skinPixel(id, zeroTick));
        QTest::mousePress(&f, Qt::LeftButton, {}, rig.knob());
        QCOMPARE(pixel(f, onKnob), lit);
        QTest::mouseRelease(&f, Qt::LeftButton, {}, rig.knob());
        QCOMPARE(rig.count(), 1);  // reported although unchanged
        QCOMPARE(rig.last().code, f.code());
    }
}

void TestValueControls::metersLightTheirLevel() {
    CQelLigGain wide;
    CQelLigGain narrow;
    narrow.resize(17, 202);
    CQelLigGain2 across;
    QCOMPARE(wide.objectName(), QString("Qel.CQelLigGain"));
    QCOMPARE(across.objectName(), QString("Qel.CQelLigGain2"));
    const auto dark = [](int x, int y) { return skinPixel(147, {x, y}); };
    const auto lit = [](int y) { return skinPixel(147, {55, y}); };
    QCOMPARE(pixel(wide, {38, 192}), dark(38, 192));  // level 0: background only
    wide.setLevel(10);
    narrow.setLevel(40);  // more than fit: all 32
    QCOMPARE(narrow.level(), 32);
    QVERIFY(lit(137) != dark(38, 137));
    QCOMPARE(pixel(wide, {38, 137}), lit(137));  // 10th segment
    QCOMPARE(pixel(wide, {38, 131}), dark(38, 131));
    QCOMPARE(pixel(wide, {10, 100}), dark(10, 100));  // the scale beside it
    QCOMPARE(pixel(narrow, {8, 4}), lit(4));          // 192 pixels lit
    QCOMPARE(pixel(narrow, {8, 198}), dark(38, 198));

    across.setLevel(10);
    QVERIFY(skinPixel(146, {45, 45}) != skinPixel(146, {45, 8}));
    QCOMPARE(pixel(across, {45, 8}), skinPixel(146, {45, 45}));  // 10th segment
    QCOMPARE(pixel(across, {49, 8}), skinPixel(146, {49, 8}));
    across.setLevel(-3);
    QCOMPARE(across.level(), 0);
    QCOMPARE(pixel(across, {9, 8}), skinPixel(146, {9, 8}));
}

QTEST_MAIN(TestValueControls)
#include "tst_valuecontrols.moc"
