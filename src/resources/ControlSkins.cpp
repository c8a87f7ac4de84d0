// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>

#include "resources/Skins.h"

// Skins of the buttons, labels, routing points and the editor's title strip. Each image has
// the exact size its control reads and its states stacked at the rows the control copies.

namespace qel::skin {

namespace {

QImage canvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A vertical gradient face with a 1-px border.
struct Face {
    QColor top;
    QColor bottom;
    QColor border;
};

const QColor kInk(0x3B, 0x44, 0x50);
const QColor kAccent(0x2F, 0x6F, 0xD0);
const QColor kEdge(0x8F, 0x99, 0xA5);
const Face kRaised{{0xFF, 0xFF, 0xFF}, {0xDF, 0xE3, 0xE9}, {0x8E, 0x98, 0xA4}};
const Face kSunken{{0xC4, 0xCB, 0xD4}, {0xDD, 0xE2, 0xE8}, {0x5F, 0x69, 0x75}};
const Face kMuteOn{{0xFC, 0xD0, 0xCB}, {0xEE, 0x8E, 0x86}, {0xA8, 0x44, 0x3C}};
const Face kPhaseOn{{0xFE, 0xE9, 0xB6}, {0xF2, 0xC0, 0x58}, {0xA8, 0x7C, 0x24}};
const Face kPlate{{0xEE, 0xF2, 0xF6}, {0xD0, 0xD8, 0xE2}, {0x8A, 0x95, 0xA3}};

void paintFace(QPainter& p, const QRectF& area, const Face& face, qreal radius = 3) {
    const QRectF r = area.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, face.top);
    gradient.setColorAt(1, face.bottom);
    p.setPen(QPen(face.border, 1));
    p.setBrush(gradient);
    p.drawRoundedRect(r, radius, radius);
}

// A light line inside the top edge of a raised face, a shadow inside a sunken one.
void paintInnerTop(QPainter& p, const QRectF& area, bool raised) {
    p.setPen(QPen(raised ? QColor(255, 255, 255, 200) : QColor(0, 0, 0, 45), 1));
    const qreal y = area.top() + 1.5;
    p.drawLine(QPointF(area.left() + 2.5, y), QPointF(area.right() - 2.5, y));
}

void paintButtonRow(QPainter& p, const QRectF& area, const Face& face, bool raised) {
    paintFace(p, area, face);
    paintInnerTop(p, area, raised);
}

void begin(QPainter& p, QImage& image) {
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
}

// 151, push button 48 x 36: normal at y 0, pressed at y 18.
QImage pushButton() {
    QImage image = canvas(48, 36);
    QPainter p;
    begin(p, image);
    paintButtonRow(p, {0, 0, 48, 18}, kRaised, true);
    paintButtonRow(p, {0, 18, 48, 18}, kSunken, false);
    return image;
}

// 137 and 138, toggle 48 x 69: normal at y 0, pressed at y 23, checked at y 46.
QImage toggleButton(const Face& checked) {
    QImage image = canvas(48, 69);
    QPainter p;
    begin(p, image);
    paintButtonRow(p, {0, 0, 48, 23}, kRaised, true);
    paintButtonRow(p, {0, 23, 48, 23}, kSunken, false);
    paintButtonRow(p, {0, 46, 48, 23}, checked, true);
    return image;
}

void paintMagnifier(QPainter& p, QPointF centre) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 1.6));
    p.drawEllipse(centre, 4.0, 4.0);
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(3.2, 3.2), centre + QPointF(6.2, 6.2));
}

// 1010, search button 22 x 40: normal at y 0, pressed at y 20.
QImage searchButton() {
    QImage image = canvas(22, 40);
    QPainter p;
    begin(p, image);
    paintButtonRow(p, {0, 0, 22, 20}, kRaised, true);
    paintMagnifier(p, {9.5, 8.5});
    paintButtonRow(p, {0, 20, 22, 20}, kSunken, false);
    paintMagnifier(p, {10.0, 29.5});
    return image;
}

// 144, routing point 10 x 30: normal at y 0, checked at y 10, hover at y 20.
QImage routingPoint() {
    QImage image = canvas(10, 30);
    QPainter p;
    begin(p, image);
    const auto dot = [&p](int top, QColor fill, QColor ring, qreal width) {
        p.setPen(QPen(ring, width));
        p.setBrush(fill);
        p.drawEllipse(QPointF(5, top + 5), 3.6, 3.6);
    };
    dot(0, {0xF7, 0xF8, 0xFA}, {0x7D, 0x85, 0x91}, 1.0);
    dot(10, kAccent, {0x1D, 0x4C, 0x96}, 1.0);
    dot(20, {0xD6, 0xE4, 0xF8}, kAccent, 1.4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QPointF(4.2, 13.8), 1.2, 1.0);
    return image;
}

// 155, junction 9 x 9: the dot where an input's line meets its column in the routing
// matrix, grey like the matrix lines with a light rim below and to the right.
QImage junction() {
    QImage image = canvas(9, 9);
    QPainter p;
    begin(p, image);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(5.0, 5.0), 3.6, 3.6);
    p.setBrush(QColor(0x78, 0x78, 0x78));
    p.drawEllipse(QPointF(4.5, 4.5), 3.5, 3.5);
    return image;
}

// 145, caption plate 64 x 40: 64 x 20 at y 0, the 32-wide variant at y 20.
QImage captionPlate() {
    QImage image = canvas(64, 40);
    QPainter p;
    begin(p, image);
    paintButtonRow(p, {0, 0, 64, 20}, kPlate, true);
    paintButtonRow(p, {0, 20, 32, 20}, kPlate, true);
    return image;
}

// Tab image of one state, source x 24..87, 17 rows from top: column 24 and the top row
// are the outer edge, column 25 a highlight, column 86 the separator to the next tab and
// column 87 the outer edge of the last one.
void paintTabRow(QPainter& p, int top, QColor upper, QColor lower, bool current) {
    p.setRenderHint(QPainter::Antialiasing, false);
    QLinearGradient gradient(0, top, 0, top + 17);
    gradient.setColorAt(0, upper);
    gradient.setColorAt(1, lower);
    p.fillRect(24, top, 64, 17, gradient);
    p.fillRect(24, top, 64, 1, kEdge);
    p.fillRect(24, top, 1, 17, kEdge);
    p.fillRect(25, top + 1, 1, 16, QColor(255, 255, 255, 190));
    p.fillRect(86, top, 1, 17, kEdge);
    p.fillRect(87, top, 1, 17, QColor(0xB4, 0xBC, 0xC6));
    if (current) {
        p.fillRect(25, top, 61, 2, kAccent);
    } else {
        p.fillRect(24, top + 16, 64, 1, kEdge);
    }
}

// Link icons, 14 x 7: two chain links apart (unlinked) or joined (linked).
void paintLinkIcons(QPainter& p, int top) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x80, 0x89, 0x95), 1));
    p.drawRoundedRect(QRectF(92.5, top + 1.5, 5, 4), 1.5, 1.5);
    p.drawRoundedRect(QRectF(100.5, top + 1.5, 5, 4), 1.5, 1.5);
    p.setPen(QPen(QColor(0x1A, 0x56, 0xB8), 1));
    p.drawRoundedRect(QRectF(109.5, top + 1.5, 7, 4), 1.5, 1.5);
    p.drawRoundedRect(QRectF(114.5, top + 1.5, 7, 4), 1.5, 1.5);
}

// 149, title strip 128 x 51: background tile 24 x 24 at (0, 0); tab images at source
// x 24..87 in rows y 0 (current), 17 (normal), 34 (hovered); link icons 14 x 7 at x 92
// (unlinked) and 109 (linked), 5 rows below each state's top.
QImage titleStrip() {
    QImage image = canvas(128, 51);
    QPainter p(&image);
    QLinearGradient tile(0, 0, 0, 24);
    tile.setColorAt(0, QColor(0xF4, 0xF6, 0xF8));
    tile.setColorAt(1, QColor(0xDC, 0xE1, 0xE7));
    p.fillRect(0, 0, 24, 24, tile);
    p.fillRect(0, 23, 24, 1, kEdge);
    paintTabRow(p, 0, QColor(0xFF, 0xFF, 0xFF), QColor(0xEE, 0xEE, 0xEE), true);
    paintTabRow(p, 17, QColor(0xE6, 0xEA, 0xEF), QColor(0xD0, 0xD6, 0xDE), false);
    paintTabRow(p, 34, QColor(0xF3, 0xF7, 0xFD), QColor(0xD8, 0xE4, 0xF4), false);
    for (const int top : {0, 17, 34}) paintLinkIcons(p, top + 5);
    return image;
}

// 140, EQ type selector 45 x 45: columns "P", "LS", "HS" (types 0, 1, 2), 15 x 15 each;
// rows selected at y 0, hover at y 15, normal at y 30.
QImage eqTypeSelector() {
    QImage image = canvas(45, 45);
    QPainter p;
    begin(p, image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    const char* names[] = {QT_TRANSLATE_NOOP("CQelEqType", "P"),
                           QT_TRANSLATE_NOOP("CQelEqType", "LS"),
                           QT_TRANSLATE_NOOP("CQelEqType", "HS")};
    const Face selected{{0x5C, 0x9B, 0xF0}, kAccent, {0x1D, 0x4C, 0x96}};
    const Face hover{{0xF3, 0xF7, 0xFD}, {0xC8, 0xDA, 0xF4}, kAccent};
    const Face* faces[] = {&selected, &hover, &kRaised};
    for (int row = 0; row < 3; ++row) {
        for (int type = 0; type < 3; ++type) {
            const QRectF cell(15 * type, 15 * row, 15, 15);
            paintFace(p, cell, *faces[row], 2);
            p.setPen(row == 0 ? QColor(Qt::white) : kInk);
            p.drawText(cell, Qt::AlignCenter,
                       QCoreApplication::translate("CQelEqType", names[type]));
        }
    }
    return image;
}

}  // namespace

QImage paintControlSkin(int resourceId) {
    switch (resourceId) {
        case 137:
            return toggleButton(kPhaseOn);
        case 138:
            return toggleButton(kMuteOn);
        case 140:
            return eqTypeSelector();
        case 144:
            return routingPoint();
        case 145:
            return captionPlate();
        case 149:
            return titleStrip();
        case 151:
            return pushButton();
        case 155:
            return junction();
        case 1010:
            return searchButton();
        default:
            return {};
    }
}

}  // namespace qel::skin
