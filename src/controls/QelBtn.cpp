// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelBtn.h"

#include <QPainter>

#include "controls/ControlStyle.h"

namespace qel {

CQelBtn::CQelBtn(QWidget* parent)
    : CQelSkinButton(QStringLiteral("CQelBtn"), skinid::kPushButton, parent) {
    resize(48, 18);
}

void CQelBtn::setText(const QString& text) {
    text_ = clippedText(text);
    update();
}

void CQelBtn::paintText(QPainter& p) {
    const int top = isPressed() ? 2 : 1;
    p.setFont(textFont(text_));
    p.drawText(rect().adjusted(0, top, 0, 0), Qt::AlignHCenter | Qt::AlignTop, text_);
}

}  // namespace qel
