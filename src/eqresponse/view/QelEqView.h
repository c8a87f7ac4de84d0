// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <span>

#include "eqresponse/EqCurves.h"
#include "eqresponse/view/EqCurveRaster.h"

namespace qel {

// The EQ curve view of one channel: the grid, every point's circle and number, the filled
// curve of the selected point or filter, the sum of all curves and, on outputs, the "HPF" and
// "LPF" markers; "EQ PASS" over it all while the channel's EQ is switched off.
//
// Editing: the left button drags a point in frequency and gain (or a marker in frequency), the
// right button drags a point's Q (5 pixels per step, rightwards lowers it), the arrow keys move
// the selected point. A press picks the first point within 5 pixels, lowest number first, and
// only then a marker; the right button never picks markers. The view changes its own copy of
// the codes and reports them through the change callback: while dragging at most once per
// 80 ms, on every release, and at once for a key. The owner makes the edit (the view never
// writes the unit's image) and keeps the view's copy in step with setPoint().
//
// Drawing goes to a 32-bit image of the client size: grid and texts with QPainter, curves and
// circles anti-aliased with Anti-Grain Geometry; a paint copies the image. The images are
// dropped while the view is hidden. GUI thread only.
class CQelEqView : public QWidget {
    Q_OBJECT

public:
    // (owner, point 0..14 or 15 high-pass / 16 low-pass, frequency code, gain code, Q code);
    // markers report gain and Q as 0.
    using ChangeCallback =
        std::function<void(QObject* owner, int point, int freqCode, int gainCode, int qCode)>;
    static constexpr int kNone = -1;
    static constexpr int kHighPass = EqCurves::kHighPassRow, kLowPass = EqCurves::kLowPassRow;
    static constexpr int kReportGapMs = 80;
    static constexpr int kHitDistance = 6;  // a hit lies less than this from the centre

    explicit CQelEqView(QWidget* parent = nullptr);

    void setCallback(QObject* owner, ChangeCallback onChange);

    // The channel's points (copied; the count is the number given) and EQ switch state.
    void setPoints(std::span<const EqPoint> points);
    void setPoint(int index, const EqPoint& point);
    const EqPoint& point(int index) const { return curves_.point(index); }
    int count() const { return curves_.count(); }
    void setBypass(bool on) { bypass_ = on; }
    bool bypass() const { return bypass_; }

    // Crossover filters of an output channel.
    void setCrossoverShown(bool shown) { curves_.setCrossoverShown(shown); }
    void setHighPass(uint8_t type, uint8_t freqCode) { curves_.setHighPass(type, freqCode); }
    void setLowPass(uint8_t type, uint8_t freqCode) { curves_.setLowPass(type, freqCode); }
    uint8_t highPassType() const { return curves_.highPassType(); }
    uint8_t highPassFreq() const { return curves_.highPassFreq(); }
    uint8_t lowPassType() const { return curves_.lowPassType(); }
    uint8_t lowPassFreq() const { return curves_.lowPassFreq(); }

    // Drops the selection and recomputes every row.
    void recomputeAll();
    void recomputeRow(int row) { curves_.recomputeRow(row); }
    // The drawing pass into the image, then a repaint; while hidden, only a note that the
    // next paint draws.
    void redraw();

    int selected() const { return selected_; }
    void setSelected(int index) { selected_ = index; }
    int currentRow() const { return currentRow_; }
    void setCurrentRow(int row) { currentRow_ = row; }

    const EqCurves& curves() const { return curves_; }
    const QImage& image() const { return image_; }
    // Where point i's number is drawn: below the point, or above it when the point lies more
    // than 6 pixels above the 0 dB line; on the other side where that would leave the plot.
    QRect labelRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void measure();  // plot size from the client size
    void drawPass();
    void drawGrid(QPainter& p) const;
    void drawLabels(QPainter& p, const EqCurveRaster::Scene& scene) const;
    bool isPoint(int row) const;
    int hitPoint(QPointF pos) const;
    int hitMarker(QPointF pos) const;
    double freqAt(double x) const;
    void report(int point, int freq, int gain, int q);
    bool reportDue() const;
    void reportPoint(int index);
    void dragMarker(QPointF pos);
    void dragPoint(QPointF pos);
    void dragQ(QPointF pos);

    EqCurves curves_;
    EqCurveRaster raster_;
    QImage image_;
    QImage grid_;  // black with the grid and its labels
    QObject* owner_ = nullptr;
    ChangeCallback onChange_;
    bool bypass_ = false;
    bool computed_ = false;  // recomputeAll() ran
    bool stale_ = true;      // the image does not show the points yet
    int selected_ = kNone;
    int currentRow_ = kNone;
    bool leftDrag_ = false, rightDrag_ = false;
    bool reported_ = false;  // a report was made since the press
    uint32_t lastReportMs_ = 0;
    QPointF rightPress_;
    int rightPressQ_ = 0;
    int freqCode_ = 0, gainCode_ = 0, qCode_ = 0;  // picked up at the press
};

}  // namespace qel
