// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "eqresponse/view/QelEqView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "controls/ControlStyle.h"
#include "device/ValueCodes.h"
#include "platform/Clock.h"

namespace qel {

namespace {

constexpr int kPlotMarginX = 42, kPlotMarginY = 28;
constexpr int kTop = 8;  // the +12 dB grid line
const QColor kText(255, 255, 0);
const QColor kDimGrid(0, 120, 0), kBrightGrid(0, 250, 0);

// Created by the first view and kept for the run.
const QFont& labelFont() {
    static const QFont font = controlFont(13);
    return font;
}
const QFont& bannerFont() {
    static const QFont font = controlFont(64);
    return font;
}

bool isDecade(int f) {
    return f == 10 || f == 100 || f == 1000 || f == 10000;
}

int stepAfter(int f) {
    if (f <= 99) return 10;
    if (f <= 999) return 100;
    if (f < 10000) return 1000;
    return 10000;
}

}  // namespace

CQelEqView::CQelEqView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Qel.CQelEqView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
}

void CQelEqView::setCallback(QObject* owner, ChangeCallback onChange) {
    owner_ = owner;
    onChange_ = std::move(onChange);
}

void CQelEqView::setPoints(std::span<const EqPoint> points) {
    curves_.setPoints(points);
}

void CQelEqView::setPoint(int index, const EqPoint& point) {
    if (index >= 0 && index < count()) curves_.setPoint(index, point);
}

void CQelEqView::recomputeAll() {
    selected_ = kNone;
    computed_ = true;
    measure();
    curves_.recomputeAll();
}

void CQelEqView::measure() {
    curves_.setPlotSize(width() - kPlotMarginX, height() - kPlotMarginY);
}

QRect CQelEqView::labelRect(int index) const {
    const auto pos = curves_.position(index);
    const QRect below(static_cast<int>(pos.x - 7), static_cast<int>(pos.y + 6), 16, 16);
    const QRect above = below.translated(0, -24);
    const auto inside = [this](const QRect& r) {
        return r.top() >= kTop && r.bottom() <= kTop + curves_.plotHeight();
    };
    const bool up = below.top() < EqCurves::kZeroDbY;
    if (up) return inside(above) ? above : below;
    return inside(below) ? below : above;
}

void CQelEqView::redraw() {
    // A hidden view keeps no pictures: it draws when it is shown.
    stale_ = true;
    if (!isVisible()) return;
    drawPass();
    update();
}

void CQelEqView::drawPass() {
    if (width() <= kPlotMarginX || height() <= kPlotMarginY) return;
    stale_ = false;
    measure();
    // The grid depends on the size only: drawn once, then copied under each pass.
    if (grid_.size() != size()) {
        grid_ = QImage(size(), QImage::Format_RGB32);
        grid_.fill(Qt::black);
        QPainter p(&grid_);
        p.setFont(labelFont());
        p.setPen(kText);
        drawGrid(p);
        image_ = QImage(size(), QImage::Format_RGB32);
    }
    std::memcpy(image_.bits(), grid_.constBits(), static_cast<size_t>(grid_.sizeInBytes()));
    curves_.placePoints();
    if (currentRow_ != kNone) curves_.recomputeRow(currentRow_);
    curves_.buildSum();

    const int H = curves_.plotHeight();
    EqCurveRaster::Scene scene;
    scene.selected = selected_;
    scene.currentRow = currentRow_;
    scene.fillClip = QRect(QPoint(36, kTop), QPoint(width() - 20, kTop + H));
    scene.lineClip = QRect(QPoint(0, 0), QPoint(width() - 20, height() - 4));
    scene.fillEndX = static_cast<float>(width() - 15);
    if (curves_.crossoverShown()) {
        scene.highPassX = curves_.xForCode(highPassFreq());
        scene.lowPassX = curves_.xForCode(lowPassFreq());
    }
    raster_.draw(image_, curves_, scene);

    QPainter p(&image_);
    p.setFont(labelFont());
    p.setPen(kText);
    drawLabels(p, scene);
}

void CQelEqView::drawGrid(QPainter& p) const {
    const int W = curves_.plotWidth(), H = curves_.plotHeight(), right = width() - 7;
    const QPen dim(kDimGrid, 1), bright(kBrightGrid, 1);
    for (int i = 0; i <= 12; ++i) {
        const int y = kTop + i * H / 12;
        p.setPen(i == 0 || i == 4 || i == 12 ? bright : dim);
        p.drawLine(37, y, right, y);
        if (i % 2) continue;
        p.setPen(kText);
        p.drawText(QRect(0, 2 + i * H / 12, 34, 16), Qt::AlignRight | Qt::AlignTop,
                   QString::asprintf("%ddB", 12 - (i / 2) * 6));
    }
    for (int f = 10; f <= 20000; f += stepAfter(f)) {
        const int x = static_cast<int>(36 + (std::log10(f) - 1) * W / 3.4);
        p.setPen(isDecade(f) ? bright : dim);
        p.drawLine(x, 9, x, H + 7);
        const int step = stepAfter(f);
        if (f == 10 || (f != step && f != 2 * step && f != 5 * step)) continue;
        p.setPen(bright);
        p.drawLine(x, H, x, H + 7);
        p.setPen(kText);
        const QString label =
            f <= 999 ? QString::asprintf("%dHz", f) : QString::asprintf("%dkHz", f / 1000);
        p.drawText(QRect(x - 18, H + 10, 36, 16), Qt::AlignHCenter | Qt::AlignTop, label);
    }
    // The 0 dB line once more, over the frequency lines.
    p.setPen(bright);
    const int zero = kTop + 4 * H / 12;
    p.drawLine(37, zero, right, zero);
}

void CQelEqView::drawLabels(QPainter& p, const EqCurveRaster::Scene& scene) const {
    for (int i = 0; i < count(); ++i)
        p.drawText(labelRect(i), Qt::AlignHCenter | Qt::AlignTop, QString::number(i + 1));
    if (curves_.crossoverShown()) {
        const auto marker = [&](float x, const QString& text) {
            p.drawText(QRect(static_cast<int>(x - 7), 103, 20, 16), Qt::AlignHCenter | Qt::AlignTop,
                       text);
        };
        marker(scene.highPassX, tr("HPF"));
        marker(scene.lowPassX, tr("LPF"));
    }
    if (bypass_) {
        p.setFont(bannerFont());
        p.drawText(QRect(QPoint(80, 90), QPoint(899, 299)), Qt::AlignHCenter | Qt::AlignTop,
                   tr("EQ PASS"));
    }
}

void CQelEqView::paintEvent(QPaintEvent*) {
    if (!computed_) recomputeAll();
    if (stale_ || image_.size() != size()) drawPass();
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void CQelEqView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // About 2 MB at the pages' size; an editor shows one EQ page at a time, if any.
    image_ = QImage();
    grid_ = QImage();
    stale_ = true;
}

int CQelEqView::hitPoint(QPointF pos) const {
    for (int i = 0; i < count(); ++i) {
        const auto c = curves_.position(i);
        if (std::fabs(pos.x() - c.x) < kHitDistance && std::fabs(pos.y() - c.y) < kHitDistance)
            return i;
    }
    return kNone;
}

int CQelEqView::hitMarker(QPointF pos) const {
    for (int row : {kHighPass, kLowPass}) {
        const auto c = curves_.position(row);
        if (std::fabs(pos.x() - c.x) < kHitDistance && std::fabs(pos.y() - c.y) < kHitDistance)
            return row;
    }
    return kNone;
}

double CQelEqView::freqAt(double x) const {
    return 10 * std::pow(10.0, (x - EqCurves::kLeft) * EqCurves::kDecades / curves_.plotWidth());
}

bool CQelEqView::isPoint(int row) const {
    return row >= 0 && row < count();
}

void CQelEqView::mousePressEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    const bool left = event->button() == Qt::LeftButton;
    if (!left && event->button() != Qt::RightButton) return QWidget::mousePressEvent(event);
    if (left) setFocus(Qt::MouseFocusReason);
    (left ? leftDrag_ : rightDrag_) = true;
    currentRow_ = kNone;
    measure();
    curves_.placePoints();
    int hit = hitPoint(pos);
    if (hit == kNone && left && curves_.crossoverShown()) hit = hitMarker(pos);
    if (hit != kNone) {
        currentRow_ = selected_ = hit;
        reported_ = false;
        if (isPoint(hit)) {
            freqCode_ = point(hit).freq;
            gainCode_ = point(hit).gain;
            qCode_ = point(hit).q;
        }
        if (!left) {
            rightPress_ = pos;
            rightPressQ_ = qCode_;
        }
    }
    redraw();
}

void CQelEqView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    const bool marker = currentRow_ == kHighPass || currentRow_ == kLowPass;
    if (leftDrag_ && marker && curves_.crossoverShown())
        dragMarker(pos);
    else if (leftDrag_ && isPoint(currentRow_))
        dragPoint(pos);
    else if (rightDrag_ && isPoint(currentRow_))
        dragQ(pos);
    else
        return QWidget::mouseMoveEvent(event);
    redraw();
}

void CQelEqView::dragMarker(QPointF pos) {
    const double hz = freqAt(pos.x());
    const uint8_t code = QuantizeFreq(hz).code;
    if (currentRow_ == kHighPass)
        curves_.setHighPassFreq(code);
    else
        curves_.setLowPassFreq(code);
    if (reportDue()) report(currentRow_, code, 0, 0);
    curves_.setPosition(currentRow_, {curves_.xForFreq(hz), EqCurves::kZeroDbY});
}

void CQelEqView::dragPoint(QPointF pos) {
    const int H = curves_.plotHeight();
    const double db = (H / 3 + kTop - pos.y()) * 36.0 / H;
    EqPoint p = point(currentRow_);
    p.gain = QuantizeEqGain(db).code;
    p.freq = QuantizeFreq(freqAt(pos.x())).code;
    curves_.setPoint(currentRow_, p);
    if (reportDue()) report(currentRow_, p.freq, p.gain, p.q);
}

void CQelEqView::dragQ(QPointF pos) {
    const double q = std::trunc(rightPressQ_ - 0.2 * (pos.x() - rightPress_.x()));
    EqPoint p = point(currentRow_);
    p.q = static_cast<uint8_t>(std::clamp(q, 0.0, double{kEqQCodeMax}));
    curves_.setPoint(currentRow_, p);
    if (reportDue()) report(currentRow_, freqCode_, gainCode_, p.q);
}

void CQelEqView::mouseReleaseEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    if (!left && event->button() != Qt::RightButton) return QWidget::mouseReleaseEvent(event);
    const bool marker = currentRow_ == kHighPass || currentRow_ == kLowPass;
    if (left && marker && curves_.crossoverShown())
        report(currentRow_, currentRow_ == kHighPass ? highPassFreq() : lowPassFreq(), 0, 0);
    else if (isPoint(currentRow_))
        reportPoint(currentRow_);
    currentRow_ = kNone;
    (left ? leftDrag_ : rightDrag_) = false;
    redraw();
}

void CQelEqView::keyPressEvent(QKeyEvent* event) {
    event->accept();  // every key stays here
    const int i = isPoint(selected_) ? selected_ : isPoint(currentRow_) ? currentRow_ : kNone;
    if (i == kNone) return;
    EqPoint p = point(i);
    switch (event->key()) {
        case Qt::Key_Up:
            p.gain = static_cast<uint8_t>(std::min<int>(p.gain + 1, kEqGainCodeMax));
            break;
        case Qt::Key_Down:
            p.gain = static_cast<uint8_t>(std::max(p.gain - 1, 0));
            break;
        case Qt::Key_Left:
            p.freq = static_cast<uint8_t>(std::max(p.freq - 1, 0));
            break;
        case Qt::Key_Right:
            p.freq = static_cast<uint8_t>(std::min(p.freq + 1, 255));
            break;
        default:
            return;
    }
    curves_.setPoint(i, p);
    reportPoint(i);
    curves_.recomputeRow(i);
    redraw();
}

bool CQelEqView::reportDue() const {
    return !reported_ || tickMs() - lastReportMs_ >= kReportGapMs;
}

void CQelEqView::reportPoint(int index) {
    const EqPoint& p = point(index);
    report(index, p.freq, p.gain, p.q);
}

void CQelEqView::report(int point, int freq, int gain, int q) {
    lastReportMs_ = tickMs();
    reported_ = true;
    if (onChange_) onChange_(owner_, point, freq, gain, q);
}

}  // namespace qel
