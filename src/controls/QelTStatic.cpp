// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelTStatic.h"

#include <QPainter>

#include "controls/ControlStyle.h"
#include "resources/Skins.h"

namespace qel {

CQelTStatic::CQelTStatic(const QString& text, QWidget* parent)
    : QWidget(parent), text_(clippedText(text)), bitmapId_(skinid::kChannelCaption) {
    setObjectName(QStringLiteral("Qel.CQelTStatic"));
    setFont(controlFont(15, true));
    resize(64, 20);
}

void CQelTStatic::setText(const QString& text) {
    text_ = clippedText(text);
    update();
}

void CQelTStatic::setBitmapId(int resourceId) {
    bitmapId_ = resourceId;
    loaded_ = false;
    update();
}

void CQelTStatic::paintEvent(QPaintEvent*) {
    if (!loaded_) {
        bitmap_ = skin::bitmap(bitmapId_);
        loaded_ = true;
    }
    QPainter p(this);
    if (!bitmap_.isNull()) p.drawPixmap(0, 0, bitmap_, 0, sourceY(), width(), height());
    p.setPen(Qt::black);
    p.drawText(rect().adjusted(0, 3, 0, 0), Qt::AlignHCenter | Qt::AlignTop, text_);
}

}  // namespace qel
