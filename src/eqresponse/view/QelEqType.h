// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QPixmap>
#include <QWidget>

#include "controls/QelSkinButton.h"

namespace qel {

// The EQ type selector beside a point's fader: three 15 x 15 buttons stacked 16 pixels apart,
// "P" (peaking, type 0), "LS" (low shelf, 1) and "HS" (high shelf, 2), painted from skin 140
// (45 x 45: one column per type; rows selected, hover, normal). A click reports
// (owner, id, type). setType() shows a type without reporting. GUI thread only.
class CQelEqType : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBitmapId = 140;
    static constexpr int kButton = 15, kPitch = 16;

    explicit CQelEqType(QWidget* parent = nullptr);

    void setCallback(QObject* owner, int id, ControlCallback callback);
    int id() const { return id_; }
    void setType(int type);
    int type() const { return type_; }
    int hover() const { return hover_; }  // 0 none, 1..3 the button under the pointer

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static bool inside(QPointF pos);
    void setHover(int hover);

    QObject* owner_ = nullptr;
    int id_ = 0;
    ControlCallback callback_;
    int type_ = 0;
    int hover_ = 0;
    bool pressed_ = false;
    QPixmap skin_;
};

}  // namespace qel
