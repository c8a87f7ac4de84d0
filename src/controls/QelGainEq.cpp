// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelGainEq.h"

namespace qel {

namespace {

constexpr FaderScale kScale{
    .className = "CQelGainEq",
    .bitmapId = 142,
    .height = 118,
    .knobSourceY = 130,
    .minDb = -24.0,
    .maxDb = 12.0,
    .stepDb = 0.2,
    .zeroKnobY = 33.0,
    .pixelsPerDb = 2.611111111111111,  // 94 pixels for 36 dB
    .setTop = 2,
    .setBottom = 97,
    .dragTop = 2,
    .dragBottom = 96,
    .dragPixelsPerDb = 2.611111111111111,
    .codeOffsetDb = 24.0,
    .codeMax = 180,
    .eqGain = true,
};

}  // namespace

CQelGainEq::CQelGainEq(QWidget* parent) : CQelFader(kScale, parent) {}

}  // namespace qel
