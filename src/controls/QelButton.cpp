// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelButton.h"

#include <QMouseEvent>

#include "controls/ControlStyle.h"

namespace qel {

CQelButton::CQelButton(QWidget* parent)
    : CQelSkinButton(QStringLiteral("CQelButton"), skinid::kSearchButton, parent) {
    setMouseTracking(true);
    resize(22, 20);
}

void CQelButton::setText(const QString& text) {
    text_ = clippedText(text);
}

// Leaving 0..21 x 0..19 gives up the capture; hover is only cleared by a release.
void CQelButton::mouseMoveEvent(QMouseEvent* event) {
    const bool inside = QRect(0, 0, 22, 20).contains(event->position().toPoint());
    if (!inside) {
        releaseCapture();
    } else if (!isHovered()) {
        setHover(true);
        capture();
    }
}

}  // namespace qel
