// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The EQ curve view while a point is dragged, at the EQ pages' size (950 x 294).
//
//   QT_QPA_PLATFORM=offscreen build/eq/bench/bench_eqview
//
// DragEvent: one mouse move of a dragged point: its row recomputed, the sum, the whole drawing
// pass (grid and texts, AGG curves and circles). CurvesAgg / CurvesQPainter: the curve part
// alone (filled selection, sum line, circles), by AGG and by QPainter with antialiasing.
// Each reports the median and 99th percentile of 1000 single events in microseconds.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <chrono>
#include <vector>

#include "eqresponse/view/EqCurveRaster.h"
#include "eqresponse/view/QelEqView.h"

using namespace qel;

namespace {

constexpr int kEvents = 1000;

// Output channel: 10 points spread over the band, both crossover filters on.
std::vector<EqPoint> outputPoints() {
    std::vector<EqPoint> points;
    for (int i = 0; i < 10; ++i)
        points.push_back({static_cast<uint8_t>(i % 3), static_cast<uint8_t>(80 + 9 * i),
                          static_cast<uint8_t>(10 + 25 * i), static_cast<uint8_t>(3 + 2 * i)});
    return points;
}

void setUp(CQelEqView& view) {
    view.resize(950, 294);
    const auto points = outputPoints();
    view.setPoints(points);
    view.setCrossoverShown(true);
    view.setHighPass(7, 20);
    view.setLowPass(4, 230);
    view.recomputeAll();
    view.show();  // a hidden view does not draw
    view.redraw();
}

void summarise(benchmark::State& state, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[us.size() * 99 / 100];
}

template <class F>
void timeEvents(benchmark::State& state, F&& event) {
    std::vector<double> us;
    us.reserve(kEvents);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        event(static_cast<int>(us.size()));
        const auto end = std::chrono::steady_clock::now();
        us.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    summarise(state, us);
}

void DragEvent(benchmark::State& state) {
    CQelEqView view;
    setUp(view);
    const auto p = view.curves().position(4);
    const QPointF start(p.x, p.y);
    QMouseEvent press(QEvent::MouseButtonPress, start, start, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &press);
    timeEvents(state, [&](int i) {
        // Back and forth across the plot, up and down in gain.
        const QPointF pos(start.x() + (i % 200) * 2 - 200, 40 + (i % 97) * 2);
        QMouseEvent move(QEvent::MouseMove, pos, pos, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &move);
    });
}

// The scene of the drawing pass with point 4 selected and dragged.
EqCurveRaster::Scene scene(const EqCurves& c) {
    EqCurveRaster::Scene s;
    s.selected = 4;
    s.currentRow = 4;
    s.fillClip = QRect(QPoint(36, 8), QPoint(930, 274));
    s.lineClip = QRect(QPoint(0, 0), QPoint(930, 290));
    s.fillEndX = 935;
    s.highPassX = c.xForCode(c.highPassFreq());
    s.lowPassX = c.xForCode(c.lowPassFreq());
    return s;
}

EqCurves curves() {
    EqCurves c;
    c.setPlotSize(908, 266);
    c.setPoints(outputPoints());
    c.setCrossoverShown(true);
    c.setHighPass(7, 20);
    c.setLowPass(4, 230);
    c.recomputeAll();
    c.buildSum();
    return c;
}

void CurvesAgg(benchmark::State& state) {
    const EqCurves c = curves();
    const auto s = scene(c);
    QImage image(950, 294, QImage::Format_RGB32);
    image.fill(Qt::black);
    EqCurveRaster raster;
    timeEvents(state, [&](int) { raster.draw(image, c, s); });
}

// The same drawing through QPainter with antialiasing.
void drawWithQPainter(QImage& image, const EqCurves& c, const EqCurveRaster::Scene& s) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const float zero = EqCurves::kZeroDbY;
    QPolygonF fill, sum;
    fill.reserve(EqCurves::kColumns + 2);
    sum.reserve(EqCurves::kColumns);
    fill << QPointF(EqCurves::kLeft, zero);
    for (int j = 0; j < EqCurves::kColumns; ++j) {
        const auto x = c.columnX(j);
        fill << QPointF(x, zero + c.row(s.selected)[static_cast<size_t>(j)]);
        sum << QPointF(x, zero + c.sum()[static_cast<size_t>(j)]);
    }
    fill << QPointF(s.fillEndX, zero);
    p.setClipRect(s.fillClip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 100));
    p.drawPolygon(fill, Qt::WindingFill);
    p.setClipRect(s.lineClip);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(26, 172, 255), EqCurveRaster::kSumWidth));
    p.drawPolyline(sum);
    p.setPen(Qt::NoPen);
    const auto disc = [&](QPointF centre, double r, QColor colour) {
        p.setBrush(colour);
        p.drawEllipse(centre, r, r);
    };
    for (int i = 0; i < c.count(); ++i)
        if (i != s.currentRow)
            disc({c.position(i).x + 0.5, c.position(i).y}, 5, QColor(26, 172, 255));
    disc({c.position(s.selected).x + 0.5, c.position(s.selected).y}, 5, QColor(255, 255, 0));
    disc({s.highPassX, zero}, 6.5, QColor(255, 155, 100));
    disc({s.lowPassX, zero}, 6.5, QColor(255, 155, 100));
}

void CurvesQPainter(benchmark::State& state) {
    const EqCurves c = curves();
    const auto s = scene(c);
    QImage image(950, 294, QImage::Format_RGB32);
    image.fill(Qt::black);
    timeEvents(state, [&](int) { drawWithQPainter(image, c, s); });
}

}  // namespace

BENCHMARK(DragEvent)->Iterations(kEvents)->Unit(benchmark::kMicrosecond);
BENCHMARK(CurvesAgg)->Iterations(kEvents)->Unit(benchmark::kMicrosecond);
BENCHMARK(CurvesQPainter)->Iterations(kEvents)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
