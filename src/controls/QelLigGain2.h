// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "controls/QelMeter.h"

namespace qel {

// Horizontal level meter, 140 x 36, over skin 146 (140 x 56). Level n lights n segments of
// 4 pixels rightwards from x 7; 32 fill the row.
class CQelLigGain2 : public CQelMeter {
    Q_OBJECT

public:
    explicit CQelLigGain2(QWidget* parent = nullptr);

    static constexpr int kSegmentWidth = 4, kLeftX = 7, kMaxLevel = 32;

protected:
    void paintMeter(QPainter& p, const QPixmap& skin) const override;
    QRect levelSpan(int from, int to) const override;
};

}  // namespace qel
