// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/ClientWnd.h"

#include <QPainter>

#include "resources/Skins.h"

namespace qel {

CClientWnd::CClientWnd(QWidget* parent)
    : QWidget(parent), source_([] { return skin::paintShellSkin(kBitmapId); }) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CClientWnd::setBackground(Source source) {
    source_ = std::move(source);
    picture_ = QImage();
    surface_ = QPixmap();
    surfaceSize_ = QSize();
    surfaceQuality_ = Quality::None;
    update();
}

void CClientWnd::setSizing(bool sizing) {
    if (sizing == sizing_) return;
    sizing_ = sizing;
    if (!sizing_) update();
}

void CClientWnd::buildSurface(Quality quality) {
    if (picture_.isNull()) picture_ = source_();
    const QSize area = size();
    surface_ = QPixmap(area);
    surface_.fill(bandColor());
    const QSize picture(area.width(), area.height() - kBandHeight);
    if (!picture.isEmpty()) {
        const auto mode =
            quality == Quality::Fast ? Qt::FastTransformation : Qt::SmoothTransformation;
        QPainter p(&surface_);
        p.drawImage(0, 0, picture_.scaled(picture, Qt::IgnoreAspectRatio, mode));
    }
    surfaceSize_ = area;
    surfaceQuality_ = quality;
    ++builds_;
    // More fast drawings may follow while the sizing lasts; a smooth one is the last.
    if (quality == Quality::Smooth) picture_ = QImage();
}

void CClientWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!source_) {
        painter.fillRect(rect(), emptyColor());
        lastQuality_ = Quality::None;
        return;
    }
    const Quality wanted = sizing_ ? Quality::Fast : Quality::Smooth;
    // Sizing ended after fast drawings: draw the picture once more, smoothly.
    if (size() != surfaceSize_ || (!sizing_ && surfaceQuality_ == Quality::Fast))
        buildSurface(wanted);
    painter.drawPixmap(0, 0, surface_);
    lastQuality_ = surfaceQuality_;
}

}  // namespace qel
