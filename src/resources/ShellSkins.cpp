// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Pictures of the application shell: the client backdrop, the status bar skin, the equipment
// row icon, the tool bar icons and the application icon.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "resources/Skins.h"

namespace qel::skin {

namespace {

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A made-up frequency response across the width: a low shelf, a mid dip, a presence lift
// and a high roll-off, in pixels above the middle line.
double responseAt(double x, double width) {
    const double t = x / width;
    return 34.0 * std::tanh((0.18 - t) * 14.0) - 26.0 * std::exp(-std::pow((t - 0.42) / 0.07, 2)) +
           30.0 * std::exp(-std::pow((t - 0.68) / 0.05, 2)) - 40.0 * std::pow(t, 6.0);
}

void paintBackdropGrid(QPainter& p, int width, int height) {
    p.setPen(QPen(QColor(150, 180, 215, 16), 1));
    for (int x = 0; x < width; x += 32) p.drawLine(x, 0, x, height);
    for (int y = 0; y < height; y += 32) p.drawLine(0, y, width, y);
    // Decade lines of a logarithmic frequency axis, a little stronger.
    p.setPen(QPen(QColor(150, 185, 225, 26), 1));
    for (int decade = 1; decade <= 3; ++decade) {
        const int x = width * decade / 3 - 40;
        p.drawLine(x, 0, x, height);
    }
}

void paintBackdropCurves(QPainter& p, int width, int height) {
    const double mid = height * 0.58;
    QPainterPath curve;
    curve.moveTo(0, mid - responseAt(0, width));
    for (int x = 4; x <= width; x += 4) curve.lineTo(x, mid - responseAt(x, width));
    QPainterPath fill = curve;
    fill.lineTo(width, height);
    fill.lineTo(0, height);
    fill.closeSubpath();
    QLinearGradient under(0, mid - 60, 0, height);
    under.setColorAt(0, QColor(70, 160, 210, 34));
    under.setColorAt(1, QColor(70, 160, 210, 0));
    p.fillPath(fill, under);
    p.setPen(QPen(QColor(110, 200, 235, 70), 2.0));
    p.drawPath(curve);
    p.setPen(QPen(QColor(140, 215, 240, 80), 1.5));
    p.setBrush(QColor(140, 215, 240, 24));
    for (double t : {0.18, 0.42, 0.68})  // EQ points on the curve
        p.drawEllipse(QPointF(t * width, mid - responseAt(t * width, width)), 7, 7);
    p.setBrush(Qt::NoBrush);
    // A quiet waveform trace near the top third.
    QPainterPath wave;
    const double base = height * 0.30;
    for (int x = 0; x <= width; x += 2) {
        const double envelope = 0.35 + 0.65 * std::pow(std::sin(M_PI * x / width), 2);
        const double y = base + envelope * 22.0 * std::sin(x * 0.045) * std::cos(x * 0.0113);
        if (x == 0)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    p.setPen(QPen(QColor(160, 190, 230, 30), 1.2));
    p.drawPath(wave);
}

// 132: client backdrop, 1024 x 768, stretched behind the editor windows.
QImage clientBackdrop() {
    const int width = 1024, height = 768;
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0.0, QColor(43, 54, 70));
    sky.setColorAt(0.55, QColor(31, 40, 54));
    sky.setColorAt(1.0, QColor(22, 28, 38));
    p.fillRect(image.rect(), sky);
    QRadialGradient glow(width * 0.62, height * 0.38, width * 0.6);
    glow.setColorAt(0, QColor(70, 110, 160, 60));
    glow.setColorAt(1, QColor(70, 110, 160, 0));
    p.fillRect(image.rect(), glow);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackdropGrid(p, width, height);
    paintBackdropCurves(p, width, height);
    QFont font("DejaVu Sans");
    font.setPixelSize(15);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3.0);
    p.setFont(font);
    p.setPen(QColor(190, 210, 235, 90));
    p.drawText(QRect(0, height - 44, width - 28, 24), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Quellmar"));
    return image;
}

// 148: status bar skin, 16 x 21: columns 0..3 tile across the bar, 4..15 end it at the
// right with the size grip.
QImage statusSkin() {
    QImage image(16, 21, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient face(0, 0, 0, 21);
    face.setColorAt(0.0, QColor(246, 247, 249));
    face.setColorAt(1.0, QColor(222, 226, 232));
    p.fillRect(image.rect(), face);
    p.setPen(QColor(168, 174, 184));
    p.drawLine(0, 0, 15, 0);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(0, 1, 15, 1);
    // Grip: a triangle of raised dots in the bottom right corner.
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (row + col < 2) continue;
            const int x = 6 + 3 * col, y = 11 + 3 * row;
            p.fillRect(x + 1, y + 1, 2, 2, QColor(255, 255, 255));
            p.fillRect(x, y, 2, 2, QColor(140, 148, 160));
        }
    }
    return image;
}

// 139: equipment row icon, 19 x 10: a one-unit processor front with display and LEDs.
QImage rowIcon() {
    QImage image = blank(19, 10);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, 10);
    body.setColorAt(0, QColor(88, 100, 118));
    body.setColorAt(1, QColor(44, 52, 64));
    p.setPen(QPen(QColor(30, 36, 46), 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(0.5, 1.5, 18, 7), 1.5, 1.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(1, 2, 1, 6, QColor(150, 160, 175));   // rack ear
    p.fillRect(17, 2, 1, 6, QColor(150, 160, 175));  // rack ear
    p.fillRect(4, 3, 6, 4, QColor(60, 190, 230));    // display
    p.fillRect(5, 4, 3, 1, QColor(200, 245, 255));
    p.fillRect(12, 3, 1, 1, QColor(90, 230, 120));  // LEDs
    p.fillRect(14, 3, 1, 1, QColor(90, 230, 120));
    p.fillRect(12, 6, 1, 1, QColor(250, 190, 60));
    p.fillRect(14, 6, 1, 1, QColor(160, 170, 185));
    return image;
}

QLinearGradient iconFace(QColor top, QColor bottom, double height = 26) {
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// 158: search.
QImage searchIcon() {
    QImage image = blank(26, 26);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(70, 78, 92), 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16.5, 16.5), QPointF(22.5, 22.5));
    p.setPen(QPen(QColor(34, 92, 150), 2.2));
    p.setBrush(iconFace(QColor(220, 240, 255), QColor(150, 200, 240)));
    p.drawEllipse(QPointF(11, 11), 7.5, 7.5);
    QPainterPath wave;  // a small signal inside the lens
    wave.moveTo(6, 11);
    for (int i = 1; i <= 10; ++i) wave.lineTo(6 + i, 11 - 3.0 * std::sin(i * 0.9));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 110, 170), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);
    return image;
}

// 157: network options: three nodes on a hub.
QImage networkIcon() {
    QImage image = blank(26, 26);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF hub(13, 13), nodes[] = {{5, 6}, {21, 6}, {13, 22}};
    p.setPen(QPen(QColor(80, 96, 118), 2.0));
    for (const QPointF& n : nodes) p.drawLine(hub, n);
    p.setPen(QPen(QColor(26, 90, 60), 1.2));
    p.setBrush(iconFace(QColor(150, 235, 170), QColor(50, 170, 100), 26));
    for (const QPointF& n : nodes) p.drawEllipse(n, 3.6, 3.6);
    p.setPen(QPen(QColor(30, 60, 110), 1.2));
    p.setBrush(iconFace(QColor(170, 210, 250), QColor(50, 110, 190), 26));
    p.drawRoundedRect(QRectF(9, 9.5, 8, 7), 1.5, 1.5);
    return image;
}

// 160: disconnect: a plug drawn out of its socket, a red stroke through the gap.
QImage disconnectIcon() {
    QImage image = blank(26, 26);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 66, 78), 3.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(0, 13), QPointF(4, 13));  // cables
    p.drawLine(QPointF(22, 13), QPointF(26, 13));
    p.setPen(QPen(QColor(50, 58, 72), 1.0));
    p.setBrush(iconFace(QColor(214, 220, 230), QColor(132, 142, 158)));
    p.drawRoundedRect(QRectF(3.5, 7.5, 6, 11), 1.5, 1.5);   // plug
    p.drawRoundedRect(QRectF(16.5, 6.5, 6, 13), 1.5, 1.5);  // socket
    p.setPen(QPen(QColor(196, 152, 52), 1.8, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(10, 10.5), QPointF(13, 10.5));  // pins
    p.drawLine(QPointF(10, 15.5), QPointF(13, 15.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 46, 58));
    p.drawRect(QRectF(17, 9.5, 2, 2));  // sockets
    p.drawRect(QRectF(17, 14.5, 2, 2));
    p.setPen(QPen(QColor(255, 255, 255, 220), 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 21.5), QPointF(16, 4.5));
    p.setPen(QPen(QColor(214, 48, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 21.5), QPointF(16, 4.5));
    return image;
}

// 156: help and about.
QImage helpIcon() {
    QImage image = blank(26, 26);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(25, 80, 150), 1.2));
    p.setBrush(iconFace(QColor(120, 180, 245), QColor(30, 100, 190)));
    p.drawEllipse(QPointF(13, 13), 10.5, 10.5);
    QFont font("DejaVu Sans");
    font.setPixelSize(16);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
    return image;
}

// 128: application icon, 32 x 32: a dark rounded tile with an EQ curve and its points.
QImage applicationIcon() {
    QImage image = blank(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 26, 36), 1.0));
    p.setBrush(iconFace(QColor(58, 74, 98), QColor(26, 33, 45), 32));
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
    p.setPen(QPen(QColor(120, 150, 190, 70), 1.0));
    for (int x = 8; x < 32; x += 8) p.drawLine(x, 4, x, 28);
    QPainterPath curve;
    curve.moveTo(3, 20);
    curve.cubicTo(9, 20, 10, 9, 15, 11);
    curve.cubicTo(20, 13, 21, 23, 29, 14);
    p.setPen(QPen(QColor(90, 215, 240), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 200, 80));
    p.drawEllipse(QPointF(14.5, 10.9), 2.3, 2.3);
    p.setBrush(QColor(240, 245, 250));
    p.drawEllipse(QPointF(22.5, 19.8), 2.0, 2.0);
    return image;
}

}  // namespace

QImage paintShellSkin(int resourceId) {
    switch (resourceId) {
        case 128:
            return applicationIcon();
        case 132:
            return clientBackdrop();
        case 139:
            return rowIcon();
        case 148:
            return statusSkin();
        case 156:
            return helpIcon();
        case 157:
            return networkIcon();
        case 158:
            return searchIcon();
        case 160:
            return disconnectIcon();
        default:
            return {};
    }
}

}  // namespace qel::skin
