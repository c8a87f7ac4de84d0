// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelGainLevel.h"

namespace qel {

namespace {

constexpr FaderScale kScale{
    .className = "CQelGainLevel",
    .bitmapId = 141,
    .height = 130,
    .knobSourceY = 130,
    .minDb = -10.0,
    .maxDb = 20.0,
    .stepDb = 0.5,
    .zeroKnobY = 73.0,
    .pixelsPerDb = 3.566666666666667,  // 107 pixels for 30 dB
    .setTop = 2,
    .setBottom = 108,
    .dragTop = 2,
    .dragBottom = 108,
    .dragPixelsPerDb = 3.5666666,
    .codeOffsetDb = 10.0,
    .codeMax = 60,
    .eqGain = false,
};

}  // namespace

CQelGainLevel::CQelGainLevel(QWidget* parent) : CQelFader(kScale, parent) {}

}  // namespace qel
