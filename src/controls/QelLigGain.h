// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "controls/QelMeter.h"

namespace qel {

// Vertical level meter over skin 147 (64 x 202, scale 18 .. -30). Level n lights n segments
// of 6 pixels upwards from y 195; 32 fill the column. At 47 x 202 it shows the scale beside
// the column; at 17 x 202 (beside a gain fader) the column alone.
class CQelLigGain : public CQelMeter {
    Q_OBJECT

public:
    explicit CQelLigGain(QWidget* parent = nullptr);

    static constexpr int kSegmentHeight = 6, kBottomY = 195, kMaxLevel = 32;

protected:
    void paintMeter(QPainter& p, const QPixmap& skin) const override;
    QRect levelSpan(int from, int to) const override;

private:
    int columnX() const;
};

}  // namespace qel
