// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "controls/QelFader.h"

namespace qel {

// EQ point gain fader: -24 .. +12 dB in 0.2 dB steps through QuantizeEqGain, its gain code
// 0..180. 38 x 118 over skin 142 (scale 12 .. -24, knobs at y 130). See CQelFader.
// Values set or dragged are rounded to 0.2 dB; dragging has no negative bias.
class CQelGainEq : public CQelFader {
    Q_OBJECT

public:
    explicit CQelGainEq(QWidget* parent = nullptr);
};

}  // namespace qel
