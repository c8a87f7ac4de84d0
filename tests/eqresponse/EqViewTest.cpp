// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>
#include <vector>

#include "eqresponse/view/QelEqType.h"
#include "eqresponse/view/QelEqView.h"
#include "resources/Skins.h"

using namespace qel;

namespace {

struct Report {
    int point, freq, gain, q;
    bool operator==(const Report&) const = default;
};

// A view at the EQ pages' size (950 x 294: W 908, H 266) that records its reports.
struct Rig {
    CQelEqView view;
    std::vector<Report> reports;
    explicit Rig(std::vector<EqPoint> points, bool crossover = false) {
        view.resize(950, 294);
        view.setCallback(nullptr, [this](QObject*, int p, int f, int g, int q) {
            reports.push_back({p, f, g, q});
        });
        view.setPoints(points);
        view.setCrossoverShown(crossover);
        view.setHighPass(0, 100);
        view.setLowPass(0, 200);
        view.recomputeAll();
        view.redraw();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    QPoint at(int index) const {
        const auto p = view.curves().position(index);
        return {qRound(p.x), qRound(p.y)};
    }
    QColor pixel(int x, int y) const { return view.image().pixelColor(x, y); }
    void send(QEvent::Type type, QPointF pos, Qt::MouseButton button) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent e(type, pos, view.mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &e);
    }
    void press(QPointF pos, Qt::MouseButton b = Qt::LeftButton) {
        send(QEvent::MouseButtonPress, pos, b);
    }
    void move(QPointF pos, Qt::MouseButton b = Qt::LeftButton) { send(QEvent::MouseMove, pos, b); }
    void release(QPointF pos, Qt::MouseButton b = Qt::LeftButton) {
        send(QEvent::MouseButtonRelease, pos, b);
    }
};

bool isLine(const QColor& c) {  // the sum line and point circles, RGB 26,172,255
    return c.blue() > 200 && c.green() > 120 && c.red() < 90;
}

int yellowPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 90 && c.green() > 90 && c.blue() < 60;
        }
    return n;
}

}  // namespace

// The EQ curve view offscreen: where it draws, what a press picks, what drags and keys set and
// report.
class EqViewTest : public QObject {
    Q_OBJECT
private slots:
    void drawsGridPointsMarkersAndTheSum() {
        Rig rig({{0, 180, 143, 4}, {0, 0, 0, 4}}, true);  // +12 dB at 1 kHz, -24 dB at 19.8 Hz
        QCOMPARE(rig.view.curves().plotHeight(), 266);
        QCOMPARE(rig.view.curves().position(0).y, 97 - 12 * 266 / 36.0f);
        QCOMPARE(rig.view.curves().position(1).y, 97 + 24 * 266 / 36.0f);
        // The 0 dB grid line lies at y 96 (seen right of the curves' clip), curves use 97.
        QCOMPARE(rig.pixel(940, 96), QColor(0, 250, 0));
        QCOMPARE(rig.pixel(940, 97), QColor(Qt::black));
        QCOMPARE(rig.pixel(940, 8), QColor(0, 250, 0));
        QCOMPARE(rig.pixel(940, 274), QColor(0, 250, 0));
        // The sum line passes through column 135 where the sum puts it, and nowhere near above.
        const auto& c = rig.view.curves();
        const int x = qRound(c.columnX(135)), y = static_cast<int>(97 + c.sum()[135]);
        QVERIFY2(y < 90, qPrintable(QString::number(y)));
        QVERIFY(isLine(rig.pixel(x, y)));
        QVERIFY(!isLine(rig.pixel(x, y - 6)));
        // Point circles in blue, crossover markers in orange on the 0 dB line.
        QVERIFY(isLine(rig.pixel(rig.at(0).x(), rig.at(0).y())));
        QCOMPARE(rig.pixel(qRound(c.xForCode(100)), 97), QColor(255, 155, 100));
        QCOMPARE(rig.pixel(qRound(c.xForCode(200)), 97), QColor(255, 155, 100));
        // A selected point turns yellow and its curve is filled.
        rig.view.setSelected(0);
        rig.view.redraw();
        QCOMPARE(rig.pixel(rig.at(0).x(), rig.at(0).y()), QColor(255, 255, 0));
        const QColor fill = rig.pixel(x, (y + 97) / 2);
        QVERIFY(fill.red() > 80 && fill.red() == fill.green() && fill.red() == fill.blue());
    }

    void labelsSitAboveOrBelowAndTheBanner() {
        // +1.0 dB lies more than 6 pixels above the 0 dB line, +0.2 dB does not.
        Rig rig({{0, 125, 60, 4}, {0, 121, 200, 4}, {0, 60, 143, 4}});
        const auto above = rig.view.labelRect(0), below = rig.view.labelRect(1);
        QCOMPARE(above.top(), static_cast<int>(rig.view.curves().position(0).y + 6) - 24);
        QCOMPARE(below.top(), static_cast<int>(rig.view.curves().position(1).y + 6));
        QCOMPARE(above.left(), static_cast<int>(rig.view.curves().position(0).x - 7));
        QVERIFY(yellowPixels(rig.view.image(), above) > 5);
        QVERIFY(yellowPixels(rig.view.image(), rig.view.labelRect(2)) > 5);
        // At the plot's top and bottom edges the number goes to the side that stays inside.
        const QRect plot(0, 8, 950, 267);
        for (const uint8_t gain : {180, 175, 10, 0}) {
            rig.view.setPoint(0, {0, gain, 60, 4});
            rig.view.redraw();
            const QRect label = rig.view.labelRect(0);
            QVERIFY2(plot.contains(label), qPrintable(QString::number(gain)));
            QVERIFY(yellowPixels(rig.view.image(), label) > 5);
        }
        const QRect banner(80, 90, 820, 64);
        const int without = yellowPixels(rig.view.image(), banner);
        rig.view.setBypass(true);
        rig.view.redraw();
        QVERIFY2(yellowPixels(rig.view.image(), banner) > without + 1000, "no EQ PASS");
        QVERIFY(isLine(rig.pixel(rig.at(2).x(), rig.at(2).y())));  // points still show
    }

    void aHiddenViewKeepsNoPicturesAndDrawsWhatChangedWhenShown() {
        Rig rig({{0, 125, 60, 4}});
        QVERIFY(!rig.view.image().isNull());
        rig.view.hide();
        QVERIFY(rig.view.image().isNull());
        rig.view.setBypass(true);  // changed while hidden
        rig.view.redraw();
        QVERIFY(rig.view.image().isNull());
        rig.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.view));
        QTRY_VERIFY(!rig.view.image().isNull());
        QVERIFY2(yellowPixels(rig.view.image(), QRect(80, 90, 820, 64)) > 1000, "no EQ PASS");
    }

    void pressPicksPointsBeforeMarkersLowestFirst() {
        // Points 0 and 1 on one spot; the low-pass marker under point 2.
        Rig rig({{0, 120, 90, 4}, {0, 120, 90, 4}, {0, 120, 200, 4}}, true);
        rig.press(rig.at(1) + QPoint(5, -5));
        QCOMPARE(rig.view.selected(), 0);
        QCOMPARE(rig.view.currentRow(), 0);
        rig.release(rig.at(1));
        QCOMPARE(rig.view.currentRow(), -1);
        QCOMPARE(rig.view.selected(), 0);  // the selection stays
        rig.press(rig.at(2));
        QCOMPARE(rig.view.selected(), 2);
        rig.release(rig.at(2));
        rig.view.setPoint(2, {0, 180, 200, 4});  // point 2 leaves the marker
        rig.press(rig.at(CQelEqView::kLowPass));
        QCOMPARE(rig.view.selected(), int{CQelEqView::kLowPass});
        rig.release(rig.at(CQelEqView::kLowPass));
        QCOMPARE(rig.reports.back(), (Report{16, 200, 0, 0}));
        // The right button never picks a marker; a miss reports nothing.
        const auto count = rig.reports.size();
        rig.view.recomputeAll();
        rig.press(rig.at(CQelEqView::kHighPass), Qt::RightButton);
        rig.release(rig.at(CQelEqView::kHighPass), Qt::RightButton);
        QCOMPARE(rig.view.selected(), -1);
        QCOMPARE(rig.reports.size(), count);
    }

    void leftDragsPinAndReportAtMostEvery80Ms() {
        Rig rig({{2, 120, 143, 9}}, true);
        const QPoint start = rig.at(0);
        rig.press(start);
        rig.move({start.x() + 0.0, -50});
        QCOMPARE(int{rig.view.point(0).gain}, 180);
        rig.move({start.x() + 0.0, 400});
        QCOMPARE(int{rig.view.point(0).gain}, 0);
        rig.move({-100, 97});
        QCOMPARE(int{rig.view.point(0).freq}, 0);
        rig.move({2000, 97});
        QCOMPARE(int{rig.view.point(0).freq}, 255);
        QCOMPARE(rig.reports.size(), size_t{1});  // the first move only
        QTest::qWait(90);
        rig.move({rig.view.curves().xForCode(143) + 0.0, 97});
        QCOMPARE(rig.reports.size(), size_t{2});
        QCOMPARE(rig.reports.back(), (Report{0, 143, int{rig.view.point(0).gain}, 9}));
        rig.release({0, 0});
        QCOMPARE(rig.reports.size(), size_t{3});  // the release always reports
        // A marker follows in frequency only and reports its code with gain and Q 0.
        rig.reports.clear();
        rig.press(rig.at(CQelEqView::kHighPass));
        rig.move({rig.view.curves().xForCode(60) + 0.0, 20});
        QCOMPARE(int{rig.view.highPassFreq()}, 60);
        rig.release({0, 0});
        QCOMPARE(rig.reports.back(), (Report{15, 60, 0, 0}));
    }

    void rightDragsQAndKeysNudgeTheSelectedPoint() {
        Rig rig({{0, 150, 143, 0}, {0, 150, 60, 40}});
        const QPoint p = rig.at(0);
        rig.press(p, Qt::RightButton);
        rig.move(p - QPoint(1000, 0), Qt::RightButton);
        QCOMPARE(int{rig.view.point(0).q}, 179);
        rig.move(p + QPoint(1000, 0), Qt::RightButton);
        QCOMPARE(int{rig.view.point(0).q}, 0);
        rig.move(p - QPoint(12, 40), Qt::RightButton);  // 2.4 steps up, whole part
        QCOMPARE(int{rig.view.point(0).q}, 2);
        rig.release(p, Qt::RightButton);
        QCOMPARE(rig.reports.back(), (Report{0, 143, 150, 2}));

        rig.reports.clear();
        QTest::keyClick(&rig.view, Qt::Key_Up);  // the selected point moves, reported at once
        QTest::keyClick(&rig.view, Qt::Key_Left);
        QCOMPARE(rig.reports.size(), size_t{2});
        QCOMPARE(rig.reports.back(), (Report{0, 142, 151, 2}));
        rig.view.setPoint(0, {0, 180, 255, 2});
        QTest::keyClick(&rig.view, Qt::Key_Up);
        QTest::keyClick(&rig.view, Qt::Key_Right);
        QCOMPARE(rig.reports.back(), (Report{0, 255, 180, 2}));
        QTest::keyClick(&rig.view, Qt::Key_A);  // other keys are swallowed
        QCOMPARE(rig.reports.size(), size_t{4});
        rig.view.recomputeAll();  // no selection: keys do nothing
        QTest::keyClick(&rig.view, Qt::Key_Down);
        QCOMPARE(rig.reports.size(), size_t{4});
    }

    void typeSelectorReportsTheButtonUnderTheRelease() {
        const QImage skin = skin::bitmap(CQelEqType::kBitmapId).toImage();
        QCOMPARE(skin.size(), QSize(45, 45));
        QVERIFY(skin.pixelColor(7, 2) != skin.pixelColor(7, 32));  // selected row differs
        CQelEqType selector;
        selector.resize(15, 47);
        selector.show();
        QVERIFY(QTest::qWaitForWindowExposed(&selector));
        std::vector<int> types;
        selector.setCallback(nullptr, 4, [&types](QObject*, int id, int type) {
            QCOMPARE(id, 4);
            types.push_back(type);
        });
        for (int y : {3, 15, 16, 30, 31, 46})
            QTest::mouseClick(&selector, Qt::LeftButton, {}, {7, y});
        QCOMPARE(types, (std::vector<int>{0, 0, 1, 1, 2, 2}));
        QCOMPARE(selector.type(), 2);
        QTest::mousePress(&selector, Qt::LeftButton, {}, {7, 3});
        QTest::mouseRelease(&selector, Qt::LeftButton, {}, {40, 3});  // released outside
        QCOMPARE(types.size(), size_t{6});
        QTest::mouseMove(&selector, {7, 20});
        QCOMPARE(selector.hover(), 2);
    }
};

QTEST_MAIN(EqViewTest)
#include "EqViewTest.moc"
