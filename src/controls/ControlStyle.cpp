// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/ControlStyle.h"

#include <QFontMetrics>
#include <QStringList>
#include <map>

namespace qel {

QFont controlFont(int pixelHeight, bool bold) {
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("Tahoma"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    static std::map<std::pair<int, bool>, int> sizes;  // GUI thread only
    auto [it, fresh] = sizes.try_emplace({pixelHeight, bold}, pixelHeight);
    if (fresh) {
        // The largest size whose line still fits the height.
        for (; it->second > 6; --it->second) {
            font.setPixelSize(it->second);
            if (QFontMetrics(font).height() <= pixelHeight) break;
        }
    }
    font.setPixelSize(it->second);
    return font;
}

}  // namespace qel
