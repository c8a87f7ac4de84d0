// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QBasicTimer>
#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace qel {

// Value callback of the faders: (owner, id, code, level in dB).
using FaderCallback = std::function<void(QObject* owner, int id, int code, float db)>;
// Side-key callback of the faders: (owner, id, direction), 0 for the left arrow key and 1
// for the right one; the owner moves the focus to the neighbouring fader.
using SideKeyCallback = std::function<void(QObject* owner, int id, int direction)>;

// What one fader design fixes: its skin, value range and step, knob travel and code.
struct FaderScale {
    const char* className;
    int bitmapId;
    int height;       // client height; the width is always 38
    int knobSourceY;  // the two 17 x 19 knob images (normal at x 0, highlighted at x 17)
    double minDb, maxDb;
    double stepDb;  // one key press or track click
    // Value -> knob y: whole part of zeroKnobY - dB * pixelsPerDb, kept within setTop..
    // setBottom.
    double zeroKnobY, pixelsPerDb;
    int setTop, setBottom;
    // Knob y -> dB while dragging: maxDb - (y - dragTop) / dragPixelsPerDb, y kept within
    // dragTop..dragBottom.
    int dragTop, dragBottom;
    double dragPixelsPerDb;
    // 0.5 dB codes: whole part of (dB + codeOffsetDb + 0.02) * 2, 0..codeMax.
    double codeOffsetDb;
    int codeMax;
    bool eqGain;  // 0.2 dB steps: QuantizeEqGain rounds and gives the code
};

// A vertical fader: a knob slides over a printed scale. The user drags the knob, presses
// beside it to step towards the pointer with auto-repeat (once at the press, again after
// 260 ms, then every 60 ms), or uses the up and down arrow keys; left and right go to the
// side-key callback and every other key is swallowed.
//
// Reports go to the value callback with the unit's code and the level in dB:
// - each step (key, track press, auto-repeat) at once, even when it is held at a limit;
// - while dragging, at most every 40 ms and only when the code changed since the last
//   report; a 60 ms timer catches the last position once the pointer rests;
// - on every button release, even when nothing changed.
// setValue() and setCode() move the knob without reporting.
//
// CQelGain, CQelGainEq and CQelGainLevel are this fader with their scales. A page creates
// one as its child, places it, calls setCallbacks(page, index, ...) and loads it with
// setCode(); the knob takes the keyboard focus. GUI thread only.
class CQelFader : public QWidget {
    Q_OBJECT

public:
    void setCallbacks(QObject* owner, int id, FaderCallback onValue, SideKeyCallback onSideKey);
    QObject* owner() const { return owner_; }
    int id() const { return id_; }

    // Sets the level, limited to the scale's range (the EQ fader also rounds it to 0.2 dB),
    // and moves the knob; reports nothing.
    void setValue(double db);
    // The same from the unit's code (limited to 0..codeMax).
    void setCode(int code);
    float value() const { return value_; }
    int code() const { return codeFor(value_); }

    int knobY() const { return knobY_; }
    bool isPressed() const { return pressed_; }
    // The knob shows its highlighted image while pressed or focused.
    bool isHighlighted() const { return pressed_ || focused_; }
    const FaderScale& scale() const { return scale_; }

    // The scale's formulas.
    int knobYFor(double db) const;      // value -> knob y, within the set limits
    double dragDbFor(int knobY) const;  // knob y -> dB, unrounded
    // To the step within the range; 0.5 dB scales take negative values 0.1 dB lower first
    // while dragging.
    double rounded(double db, bool dragging) const;
    int codeFor(double db) const;  // 0..codeMax
    double dbForCode(int code) const;

    static constexpr int kKnobX = 21;  // where the knob image is drawn
    static constexpr int kKnobWidth = 17, kKnobHeight = 19;
    static constexpr int kReportGapMs = 40;
    static constexpr int kFirstRepeatMs = 260, kRepeatMs = 60, kDragTimerMs = 60;

protected:
    CQelFader(const FaderScale& scale, QWidget* parent);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    bool onKnob(QPoint pos) const;
    bool onTrack(QPoint pos) const;
    double limited(double db) const;
    void step(int direction);  // +1 up, -1 down
    void report();
    void repeatTick();
    void dragTick();

    const FaderScale scale_;
    QObject* owner_ = nullptr;
    int id_ = 0;
    FaderCallback onValue_;
    SideKeyCallback onSideKey_;

    float value_ = 0;
    int knobY_;
    bool pressed_ = false;
    int trackMode_ = 0;  // 0: the press grabbed the knob, 1: it was on the track beside it
    int pressKnobY_ = 0;
    int pressMouseY_ = 0;
    int lastMouseY_ = 0;
    int repeatCount_ = 0;
    bool focused_ = false;
    uint32_t lastReportMs_;  // last report made from a mouse move
    int lastCode_ = -1;      // code of the last report

    QBasicTimer repeatTimer_;  // auto-repeat beside the knob
    QBasicTimer dragTimer_;    // catches the last drag position
    QPixmap skin_;
};

}  // namespace qel
