// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <functional>

namespace qel {

// Callback of the buttons and the combo box: (owner, control id, value).
using ControlCallback = std::function<void(QObject* owner, int id, int value)>;

// What the bitmap buttons share: the skin row of the current state painted at source
// (0, state y), a left press that takes the focus and captures the mouse, and a release that
// acts only inside the hit box. GUI thread only.
class CQelSkinButton : public QWidget {
    Q_OBJECT

public:
    void setCallback(QObject* owner, int id, ControlCallback callback);
    QObject* owner() const { return owner_; }
    int id() const { return id_; }

    void setBitmapId(int resourceId);
    int bitmapId() const { return bitmapId_; }

    bool isPressed() const { return pressed_; }
    bool isHovered() const { return hover_; }

    // Room a text keeps from the skin's left and right edges.
    static constexpr int kTextMargin = 2;
    // What text is drawn in: the control's font, condensed (down to 80 %) where the text
    // would not fit between the margins.
    QFont textFont(const QString& text) const;

protected:
    CQelSkinButton(const QString& className, int bitmapId, QWidget* parent);

    virtual int stateY() const = 0;  // source y of the state row to show
    virtual void act() = 0;          // a click completed inside the hit box
    virtual void paintText(QPainter&) {}
    // Release hit box, bounds inclusive: 0..48 x 0..23 (or the whole of a wider button)
    // unless a class narrows it.
    virtual QRect hitBox() const { return {0, 0, std::max(49, width()), 24}; }

    void report(int value) const;
    void setHover(bool on);
    // Capture as the control sees it: while captured, releases outside the window still
    // reach it.
    void capture() { captured_ = true; }
    void releaseCapture() { captured_ = false; }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QObject* owner_ = nullptr;
    int id_ = 0;
    ControlCallback callback_;
    int bitmapId_;
    QPixmap bitmap_;
    bool loaded_ = false;
    bool pressed_ = false;
    bool hover_ = false;
    bool captured_ = false;
};

}  // namespace qel
