// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelIOSelPoint.h"

#include <QMouseEvent>

#include "controls/ControlStyle.h"

namespace qel {

CQelIOSelPoint::CQelIOSelPoint(QWidget* parent)
    : CQelSkinButton(QStringLiteral("CQelIOSelPoint"), skinid::kRoutingPoint, parent) {
    setMouseTracking(true);
    resize(10, 10);
}

void CQelIOSelPoint::setChecked(bool checked) {
    checked_ = checked;
    update();
}

int CQelIOSelPoint::stateY() const {
    if (isHovered()) return 20;
    return checked_ ? 10 : 0;
}

void CQelIOSelPoint::act() {
    checked_ = !checked_;
    update();
    report(checked_ ? 1 : 0);
}

void CQelIOSelPoint::moved(bool inside) {
    if (inside && !isHovered()) {
        setHover(true);
        capture();
    } else if (!inside && isHovered()) {
        setHover(false);
        releaseCapture();
    }
}

void CQelIOSelPoint::mouseMoveEvent(QMouseEvent* event) {
    moved(hitBox().contains(event->position().toPoint()));
}

// The window system stops sending moves once the pointer has left: treat it as a move out.
void CQelIOSelPoint::leaveEvent(QEvent*) {
    moved(false);
}

}  // namespace qel
