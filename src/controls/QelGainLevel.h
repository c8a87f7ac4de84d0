// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "controls/QelFader.h"

namespace qel {

// Limiter threshold fader: -10 .. +20 dB in 0.5 dB steps, code = (dB + 10) * 2, 0..60.
// 38 x 130 over skin 141 (scale 20 .. -10, knobs at y 130). See CQelFader for the behaviour.
class CQelGainLevel : public CQelFader {
    Q_OBJECT

public:
    explicit CQelGainLevel(QWidget* parent = nullptr);
};

}  // namespace qel
