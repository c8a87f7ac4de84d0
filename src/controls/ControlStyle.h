// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QFont>
#include <QString>

namespace qel {

// Skin resource ids the buttons and labels paint from (see resources/ControlSkins.cpp).
namespace skinid {
inline constexpr int kPolarityButton = 137;  // 48 x 69: normal 0, pressed 23, checked 46
inline constexpr int kMuteButton = 138;      // 48 x 69: normal 0, pressed 23, checked 46
inline constexpr int kRoutingPoint = 144;    // 10 x 30: normal 0, checked 10, hover 20
inline constexpr int kChannelCaption = 145;  // 64 x 40: 64-wide plate at 0, 32-wide at 20
inline constexpr int kTitleStrip = 149;      // 128 x 51: tile, tab rows, link icons
inline constexpr int kPushButton = 151;      // 48 x 36: normal 0, pressed 18
inline constexpr int kSearchButton = 1010;   // 22 x 40: normal 0, pressed 20
}  // namespace skinid

// Control texts live in 32-byte buffers: at most 31 characters are kept.
inline constexpr int kMaxControlText = 31;
inline QString clippedText(const QString& text) {
    return text.left(kMaxControlText);
}

// "Tahoma" whose line (ascent + descent) is pixelHeight high, the way the classic font
// height reads. Where Tahoma is missing, the CJK font stands in for Latin and Chinese alike.
QFont controlFont(int pixelHeight, bool bold = false);

}  // namespace qel
