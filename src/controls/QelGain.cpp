// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelGain.h"

namespace qel {

namespace {

constexpr FaderScale kScale{
    .className = "CQelGain",
    .bitmapId = 143,
    .height = 282,
    .knobSourceY = 282,
    .minDb = -50.0,
    .maxDb = 12.0,
    .stepDb = 0.5,
    .zeroKnobY = 72.0,
    .pixelsPerDb = 3.838709677419355,  // 238 pixels for 62 dB
    .setTop = 26,
    .setBottom = 263,
    .dragTop = 26,
    .dragBottom = 263,
    .dragPixelsPerDb = 3.8387096,
    .codeOffsetDb = 50.0,
    .codeMax = 124,
    .eqGain = false,
};

}  // namespace

CQelGain::CQelGain(QWidget* parent) : CQelFader(kScale, parent) {}

}  // namespace qel
