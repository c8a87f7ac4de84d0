// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "controls/QelFader.h"

namespace qel {

// Channel gain fader: -50 .. +12 dB in 0.5 dB steps, code = (dB + 50) * 2, 0..124.
// 38 x 282 over skin 143 (scale 18 .. -50, knobs at y 282). See CQelFader for the behaviour.
class CQelGain : public CQelFader {
    Q_OBJECT

public:
    explicit CQelGain(QWidget* parent = nullptr);
};

}  // namespace qel
