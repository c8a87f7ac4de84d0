// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

#include "controls/QelSkinButton.h"
#include "resources/Skins.h"

namespace qel::test {

// One callback as a control made it.
struct Call {
    QObject* owner;
    int id;
    int value;
    bool operator==(const Call&) const = default;
};

// Records the calls of a ControlCallback.
struct Calls {
    std::vector<Call> list;
    ControlCallback callback() {
        return [this](QObject* owner, int id, int value) { list.push_back({owner, id, value}); };
    }
};

// What a widget shows, as ARGB32 premultiplied pixels.
inline QImage shot(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// True when the widget shows the skin's state row at source y: every opaque pixel of the
// client-sized area there appears unchanged (edges with alpha blend into what lies behind).
inline bool showsRow(QWidget& widget, int resourceId, int y) {
    const QImage shown = shot(widget);
    const QImage row = skin::bitmap(resourceId)
                           .toImage()
                           .copy(QRect(QPoint(0, y), widget.size()))
                           .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int compared = 0;
    for (int py = 0; py < row.height(); ++py) {
        for (int px = 0; px < row.width(); ++px) {
            if (qAlpha(row.pixel(px, py)) != 255) continue;
            if (shown.pixel(px, py) != row.pixel(px, py)) return false;
            ++compared;
        }
    }
    return compared > 0;
}

// True when some pixel inside area is within tolerance of colour in each channel.
inline bool hasColour(const QImage& image, QRect area, QColor colour, int tolerance = 40) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance &&
                std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance)
                return true;
        }
    }
    return false;
}

}  // namespace qel::test
