// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "controls/QelSkinButton.h"

namespace qel {

// Routing point of the input selection grid: a click inverts checked, then callback
// (owner, id, new checked 0 or 1). Hovers while the pointer is over it. Skin 144 by default
// (10 x 30: normal at y 0, checked at y 10, hover at y 20).
class CQelIOSelPoint : public CQelSkinButton {
    Q_OBJECT

public:
    explicit CQelIOSelPoint(QWidget* parent = nullptr);

    void setChecked(bool checked);
    bool isChecked() const { return checked_; }

protected:
    int stateY() const override;
    void act() override;
    QRect hitBox() const override { return {0, 0, 11, 11}; }  // 0..10 x 0..10
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void moved(bool inside);

    bool checked_ = false;
};

}  // namespace qel
