// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelLigGain.h"

#include <QPainter>
#include <algorithm>

namespace qel {

CQelLigGain::CQelLigGain(QWidget* parent) : CQelMeter("CQelLigGain", 147, kMaxLevel, parent) {
    resize(47, 202);
}

void CQelLigGain::paintMeter(QPainter& p, const QPixmap& skin) const {
    // The narrow form is the skin's column from x 30, without the scale.
    const bool narrow = width() <= 18;
    if (narrow)
        p.drawPixmap(0, 0, skin, 30, 0, 18, 202);
    else
        p.drawPixmap(0, 0, skin, 0, 0, 47, 202);
    if (level() <= 0) return;
    const int height = kSegmentHeight * level();
    const int top = kBottomY - height;
    p.drawPixmap(columnX(), top, skin, 50, top, 11, height);
}

int CQelLigGain::columnX() const {
    return width() <= 18 ? 3 : 33;
}

QRect CQelLigGain::levelSpan(int from, int to) const {
    const int low = std::min(from, to), high = std::max(from, to);
    return QRect(columnX(), kBottomY - kSegmentHeight * high, 11, kSegmentHeight * (high - low));
}

}  // namespace qel
