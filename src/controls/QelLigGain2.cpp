// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelLigGain2.h"

#include <QPainter>
#include <algorithm>

namespace qel {

CQelLigGain2::CQelLigGain2(QWidget* parent) : CQelMeter("CQelLigGain2", 146, kMaxLevel, parent) {
    resize(140, 36);
}

void CQelLigGain2::paintMeter(QPainter& p, const QPixmap& skin) const {
    p.drawPixmap(0, 0, skin, 0, 0, 140, 36);
    if (level() > 0) p.drawPixmap(kLeftX, 4, skin, kLeftX, 41, kSegmentWidth * level(), 11);
}

QRect CQelLigGain2::levelSpan(int from, int to) const {
    const int low = std::min(from, to), high = std::max(from, to);
    return QRect(kLeftX + kSegmentWidth * low, 4, kSegmentWidth * (high - low), 11);
}

}  // namespace qel
