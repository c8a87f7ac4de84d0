// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelFader.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "device/ValueCodes.h"
#include "platform/Clock.h"
#include "resources/Skins.h"

namespace qel {

CQelFader::CQelFader(const FaderScale& scale, QWidget* parent)
    : QWidget(parent), scale_(scale), knobY_(knobYFor(0)), lastReportMs_(tickMs() - 1000) {
    setObjectName(QStringLiteral("Qel.") + QLatin1String(scale.className));
    setFocusPolicy(Qt::StrongFocus);
    resize(38, scale.height);
}

void CQelFader::setCallbacks(QObject* owner, int id, FaderCallback onValue,
                             SideKeyCallback onSideKey) {
    owner_ = owner;
    id_ = id;
    onValue_ = std::move(onValue);
    onSideKey_ = std::move(onSideKey);
}

void CQelFader::setValue(double db) {
    const double v = limited(db);
    value_ = static_cast<float>(scale_.eqGain ? QuantizeEqGain(v).value : v);
    knobY_ = knobYFor(value_);
    update();
}

void CQelFader::setCode(int code) {
    setValue(dbForCode(code));
}

double CQelFader::limited(double db) const {
    if (std::isnan(db)) return scale_.minDb;
    return std::clamp(db, scale_.minDb, scale_.maxDb);
}

int CQelFader::knobYFor(double db) const {
    const double y = scale_.zeroKnobY - limited(db) * scale_.pixelsPerDb;
    return std::clamp(static_cast<int>(y), scale_.setTop, scale_.setBottom);
}

double CQelFader::dragDbFor(int knobY) const {
    return scale_.maxDb - (knobY - scale_.dragTop) / scale_.dragPixelsPerDb;
}

double CQelFader::rounded(double db, bool dragging) const {
    if (scale_.eqGain) return QuantizeEqGain(db).value;
    double v = limited(db);
    // Negative values snap down to the next half dB a little early while dragging.
    if (dragging && v < 0) v -= 0.1;
    const double whole = std::trunc(v);
    return limited(whole + std::round((v - whole) * 2.0) * 0.5);
}

int CQelFader::codeFor(double db) const {
    if (scale_.eqGain) return QuantizeEqGain(db).code;
    const int code = static_cast<int>((limited(db) + scale_.codeOffsetDb + 0.02) * 2.0);
    return std::clamp(code, 0, scale_.codeMax);
}

double CQelFader::dbForCode(int code) const {
    const int c = std::clamp(code, 0, scale_.codeMax);
    if (scale_.eqGain) return eqGainDb(static_cast<uint8_t>(c));
    return c * 0.5 - scale_.codeOffsetDb;
}

void CQelFader::report() {
    lastCode_ = codeFor(value_);
    if (onValue_) onValue_(owner_, id_, lastCode_, value_);
}

void CQelFader::step(int direction) {
    double v = limited(value_ + direction * scale_.stepDb);
    if (scale_.eqGain) v = QuantizeEqGain(v).value;
    value_ = static_cast<float>(v);
    knobY_ = knobYFor(value_);
    update();
    report();
}

bool CQelFader::onKnob(QPoint pos) const {
    return pos.x() >= 18 && pos.x() <= 35 && pos.y() >= knobY_ && pos.y() <= knobY_ + 19;
}

bool CQelFader::onTrack(QPoint pos) const {
    return pos.x() >= 5 && pos.x() <= width() - 1 && pos.y() >= 4 && pos.y() <= 280;
}

void CQelFader::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    focused_ = true;
    setFocus(Qt::MouseFocusReason);
    lastMouseY_ = pos.y();
    if (onKnob(pos)) {
        pressKnobY_ = knobY_;
        pressMouseY_ = pos.y();
        trackMode_ = 0;
        pressed_ = true;
        dragTimer_.start(kDragTimerMs, this);
    } else if (onTrack(pos)) {
        trackMode_ = 1;
        step(pos.y() < knobY_ ? +1 : -1);
        pressed_ = true;
        repeatCount_ = 1;
        repeatTimer_.start(kFirstRepeatMs, this);
    }
    update();
}

void CQelFader::mouseMoveEvent(QMouseEvent* event) {
    lastMouseY_ = event->position().toPoint().y();
    if (!pressed_ || trackMode_ != 0) return;
    knobY_ =
        std::clamp(lastMouseY_ + (pressKnobY_ - pressMouseY_), scale_.dragTop, scale_.dragBottom);
    value_ = static_cast<float>(rounded(dragDbFor(knobY_), true));
    const uint32_t now = tickMs();
    if (now - lastReportMs_ >= kReportGapMs && codeFor(value_) != lastCode_) {
        lastReportMs_ = now;
        report();
    }
    update();
}

void CQelFader::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    pressed_ = false;
    value_ = static_cast<float>(rounded(value_, false));
    update();
    report();
}

void CQelFader::timerEvent(QTimerEvent* event) {
    if (event->timerId() == repeatTimer_.timerId())
        repeatTick();
    else if (event->timerId() == dragTimer_.timerId())
        dragTick();
    else
        QWidget::timerEvent(event);
}

// Steps towards the pointer until the knob's top is 7..9 pixels above it.
void CQelFader::repeatTick() {
    // A knob press that follows quickly must not be stepped by a track press's timer.
    if (!pressed_ || trackMode_ != 1) return repeatTimer_.stop();
    if (lastMouseY_ < knobY_ + 7)
        step(+1);
    else if (lastMouseY_ > knobY_ + 9)
        step(-1);
    if (lastMouseY_ >= knobY_ + 7 && lastMouseY_ <= knobY_ + 9)
        repeatTimer_.stop();
    else if (repeatCount_ == 1)
        repeatTimer_.start(kRepeatMs, this);
    ++repeatCount_;
}

// Reports the resting drag position that the throttle held back.
void CQelFader::dragTick() {
    if (!pressed_ || trackMode_ != 0) return dragTimer_.stop();
    if (tickMs() - lastReportMs_ <= kReportGapMs) return;
    value_ = static_cast<float>(rounded(value_, false));
    if (codeFor(value_) != lastCode_) report();
}

// Every key stays here: Tab included, so the arrows are the way between faders.
bool CQelFader::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void CQelFader::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (!focused_) {
        focused_ = true;
        update();
    }
    switch (event->key()) {
        case Qt::Key_Up:
            step(+1);
            break;
        case Qt::Key_Down:
            step(-1);
            break;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (onSideKey_) onSideKey_(owner_, id_, event->key() == Qt::Key_Left ? 0 : 1);
            break;
        default:
            break;
    }
}

void CQelFader::focusInEvent(QFocusEvent*) {
    focused_ = true;
    update();
}

void CQelFader::focusOutEvent(QFocusEvent*) {
    focused_ = false;
    pressed_ = false;
    update();
}

void CQelFader::paintEvent(QPaintEvent*) {
    if (skin_.isNull()) skin_ = skin::bitmap(scale_.bitmapId);
    // The window's backing store already puts the picture on screen in one go.
    QPainter p(this);
    p.fillRect(rect(), palette().window().color());
    p.drawPixmap(0, 0, skin_, 0, 0, width(), height());
    p.drawPixmap(kKnobX, knobY_, skin_, isHighlighted() ? kKnobWidth : 0, scale_.knobSourceY,
                 kKnobWidth, kKnobHeight);
}

}  // namespace qel
