// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "resources/Skins.h"

// Skins of the faders and level meters. A fader skin is its printed scale, as tall as the
// control, with the two 17 x 19 knob images below it (normal at x 0, highlighted at x 17).
// A meter skin holds its background with dark LED segments and, elsewhere in the image, the
// same segments lit, which the meter copies over the dark ones up to the level.

namespace qel::skin {

namespace {

const QColor kPanel(238, 238, 238);  // the pages' own background
const QColor kPrint(0x4A, 0x52, 0x5C);
const QColor kHousing(0x1B, 0x1F, 0x24);
const QColor kHousingEdge(0x0C, 0x0E, 0x11);

QImage clearImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QFont scaleFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(8);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// How a fader's scale is laid out: the knob's top for a level is zeroY - dB * pixelsPerDb
// (whole part, kept within top..bottom for levels in range); ticks sit at the knob's
// middle row, 9 below its top.
struct FaderArt {
    int scaleHeight;  // the knob images start here
    double zeroY;
    double pixelsPerDb;
    double minDb, maxDb;
    int top, bottom;
    std::vector<int> labels;
    double minorStep;  // dB between minor ticks
};

int tickY(const FaderArt& art, double db) {
    int y = static_cast<int>(art.zeroY - db * art.pixelsPerDb);
    if (db >= art.minDb && db <= art.maxDb) y = std::clamp(y, art.top, art.bottom);
    return y + 9;
}

void paintFaderSlot(QPainter& p, const FaderArt& art) {
    const QRectF slot(27.5, art.top + 4.5, 4, art.bottom - art.top + 10);
    p.setPen(QPen(QColor(0x12, 0x15, 0x19), 1));
    p.setBrush(QColor(0x2C, 0x32, 0x3A));
    p.drawRoundedRect(slot, 2, 2);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.drawLine(QPointF(32.5, slot.top() + 2), QPointF(32.5, slot.bottom() - 2));
}

void paintFaderTicks(QPainter& p, const FaderArt& art) {
    const double lowest = std::min<double>(art.minDb, art.labels.back());
    const double highest = std::max<double>(art.maxDb, art.labels.front());
    p.setRenderHint(QPainter::Antialiasing, false);
    const double first = std::ceil(lowest / art.minorStep) * art.minorStep;
    for (double db = first; db <= highest + 1e-9; db += art.minorStep) {
        const int y = tickY(art, db);
        p.fillRect(20, y, 3, 1, QColor(0x8A, 0x92, 0x9C));
    }
    for (const int db : art.labels) {
        const int y = tickY(art, db);
        p.fillRect(24, y, 13, 1, QColor(0xC4, 0xC9, 0xCF));  // across the track
        p.fillRect(17, y, 6, 1, db == 0 ? QColor(0x1E, 0x5F, 0xB8) : kPrint);
    }
    p.setFont(scaleFont());
    for (const int db : art.labels) {
        const int y = tickY(art, db);
        p.setPen(db == 0 ? QColor(0x1E, 0x5F, 0xB8) : kPrint);
        const int top = std::clamp(y - 5, 0, art.scaleHeight - 10);
        p.drawText(QRect(0, top, 16, 10), Qt::AlignRight | Qt::AlignVCenter, QString::number(db));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
}

// A fader cap seen from the front: a rounded block with a line across its middle row.
void paintKnob(QPainter& p, int x, int y, QColor light, QColor mid, QColor dark) {
    const QRectF body(x + 0.5, y + 0.5, 16, 18);
    QLinearGradient face(body.topLeft(), body.bottomLeft());
    face.setColorAt(0, light);
    face.setColorAt(0.45, mid);
    face.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(160), 1));
    p.setBrush(face);
    p.drawRoundedRect(body, 2.5, 2.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const int row : {4, 6, 12, 14}) p.fillRect(x + 4, y + row, 9, 1, QColor(0, 0, 0, 45));
    p.fillRect(x + 2, y + 8, 13, 1, QColor(255, 255, 255, 150));
    p.fillRect(x + 2, y + 9, 13, 1, QColor(0x10, 0x12, 0x14));
    p.setRenderHint(QPainter::Antialiasing, true);
}

QImage fader(int height, const FaderArt& art) {
    QImage image = clearImage(38, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 0, 38, art.scaleHeight, kPanel);
    paintFaderTicks(p, art);
    paintFaderSlot(p, art);
    paintKnob(p, 0, art.scaleHeight, {0x9B, 0xE3, 0x95}, {0x3F, 0xAE, 0x47}, {0x1F, 0x76, 0x29});
    paintKnob(p, 17, art.scaleHeight, {0xFF, 0xD9, 0xA3}, {0xF2, 0x98, 0x2A}, {0xC0, 0x66, 0x0C});
    return image;
}

// LED segments of a meter: segment k (1-based) counts 1.5 dB above -30; green up to 0 dB,
// yellow up to +9, red above.
QColor segmentColour(int k, bool lit) {
    if (k <= 20) return lit ? QColor(0x48, 0xE0, 0x5C) : QColor(0x1D, 0x40, 0x24);
    if (k <= 26) return lit ? QColor(0xF4, 0xD2, 0x3A) : QColor(0x46, 0x40, 0x18);
    return lit ? QColor(0xF2, 0x4A, 0x3C) : QColor(0x4A, 0x1E, 0x1C);
}

void paintHousing(QPainter& p, const QRectF& area) {
    p.setPen(QPen(kHousingEdge, 1));
    p.setBrush(kHousing);
    p.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
}

constexpr int kVerticalSegments = 32, kHorizontalSegments = 32;

// Segments of 6 pixels (5 lit, 1 gap) upwards from y 195, in an 11-wide column at x.
void paintVerticalSegments(QPainter& p, int x, bool lit) {
    for (int k = 1; k <= kVerticalSegments; ++k)
        p.fillRect(x, 195 - 6 * k, 11, 5, segmentColour(k, lit));
}

// 147, vertical meter 64 x 202: scale 18 .. -30 at x 0..29, dark column in its housing at
// x 30..46 (segments at x 33..43, the narrow form starts at x 30), lit column at x 50..60.
QImage verticalMeter() {
    QImage image = clearImage(64, 202);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 0, 30, 202, kPanel);
    paintHousing(p, {30, 0, 17, 202});
    paintHousing(p, {47, 0, 17, 202});
    p.setRenderHint(QPainter::Antialiasing, false);
    paintVerticalSegments(p, 33, false);
    paintVerticalSegments(p, 50, true);
    p.setFont(scaleFont());
    for (int db = 18; db >= -30; db -= 6) {
        const int y = 195 - (db + 30) * 4;
        p.fillRect(25, y, 4, 1, kPrint);
        p.setPen(db == 0 ? QColor(0x1E, 0x5F, 0xB8) : kPrint);
        p.drawText(QRect(0, std::clamp(y - 5, 0, 192), 23, 10), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(db));
    }
    return image;
}

// Segments of 4 pixels (3 lit, 1 gap) rightwards from x 7, 11 high from y.
void paintHorizontalSegments(QPainter& p, int y, bool lit) {
    for (int k = 1; k <= kHorizontalSegments; ++k)
        p.fillRect(7 + 4 * (k - 1), y, 3, 11, segmentColour(k, lit));
}

// 146, horizontal meter 140 x 56: background 140 x 36 (dark row at (7, 4), scale -30 .. 18
// below it), lit row at (7, 41).
QImage horizontalMeter() {
    QImage image = clearImage(140, 56);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 0, 140, 36, kPanel);
    paintHousing(p, {3, 0, 136, 19});
    paintHousing(p, {3, 37, 136, 19});
    p.setRenderHint(QPainter::Antialiasing, false);
    paintHorizontalSegments(p, 4, false);
    paintHorizontalSegments(p, 41, true);
    p.setFont(scaleFont());
    for (int db = -30; db <= 18; db += 6) {
        const int x = 7 + (db + 30) * 8 / 3;
        p.fillRect(x, 20, 1, 3, kPrint);
        if (db == -24 || db == -12) continue;  // too close to their neighbours for a label
        p.setPen(db == 0 ? QColor(0x1E, 0x5F, 0xB8) : kPrint);
        const int left = std::clamp(x - 10, 0, 120);
        p.drawText(QRect(left, 23, 20, 11), Qt::AlignHCenter | Qt::AlignTop, QString::number(db));
    }
    return image;
}

}  // namespace

QImage paintValueSkin(int resourceId) {
    switch (resourceId) {
        case 141:  // limiter threshold fader, 38 x 150
            return fader(
                150,
                {130, 73.0, 3.566666666666667, -10, 20, 2, 108, {20, 15, 10, 5, 0, -5, -10}, 2.5});
        case 142:  // EQ gain fader, 38 x 150
            return fader(
                150,
                {130, 33.0, 2.611111111111111, -24, 12, 2, 97, {12, 6, 0, -6, -12, -18, -24}, 3});
        case 143:  // channel gain fader, 38 x 302
            return fader(302, {282,
                               72.0,
                               3.838709677419355,
                               -50,
                               12,
                               26,
                               263,
                               {18, 12, 6, 0, -6, -12, -18, -24, -30, -40, -50},
                               2});
        case 146:
            return horizontalMeter();
        case 147:
            return verticalMeter();
        default:
            return {};
    }
}

}  // namespace qel::skin
