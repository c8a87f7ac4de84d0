// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelMeter.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "resources/Skins.h"

namespace qel {

CQelMeter::CQelMeter(const char* className, int bitmapId, int maxLevel, QWidget* parent)
    : QWidget(parent), bitmapId_(bitmapId), maxLevel_(maxLevel) {
    setObjectName(QStringLiteral("Qel.") + QLatin1String(className));
    setFocusPolicy(Qt::NoFocus);
    // Every pixel is painted from the buffer: nothing behind it needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CQelMeter::setLevel(int segments) {
    const int level = std::clamp(segments, 0, maxLevel_);
    if (level == level_) return;
    const QRect span = levelSpan(level_, level);
    level_ = level;
    update(span);
}

void CQelMeter::paintEvent(QPaintEvent* event) {
    if (skin_.isNull()) skin_ = skin::bitmap(bitmapId_);
    // The window's backing store already puts the picture on screen in one go.
    QPainter p(this);
    p.setClipRect(event->rect());
    p.fillRect(event->rect(), palette().window().color());
    paintMeter(p, skin_);
}

}  // namespace qel
