// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelCheckBtn.h"

#include <QPainter>

#include "controls/ControlStyle.h"

namespace qel {

CQelCheckBtn::CQelCheckBtn(QWidget* parent)
    : CQelSkinButton(QStringLiteral("CQelCheckBtn"), skinid::kMuteButton, parent) {
    resize(48, 23);
}

void CQelCheckBtn::setChecked(bool checked) {
    checked_ = checked;
    update();
}

void CQelCheckBtn::setText(const QString& text) {
    text_ = clippedText(text);
    update();
}

void CQelCheckBtn::setAlternateText(const QString& text) {
    alternateText_ = clippedText(text);
    update();
}

void CQelCheckBtn::setUseAlternateText(bool on) {
    useAlternate_ = on;
    update();
}

QString CQelCheckBtn::shownText() const {
    return checked_ && useAlternate_ ? alternateText_ : text_;
}

int CQelCheckBtn::stateY() const {
    if (isPressed()) return 23;
    return checked_ ? 46 : 0;
}

void CQelCheckBtn::act() {
    checked_ = !checked_;
    update();
    report(checked_ ? 1 : 0);
}

void CQelCheckBtn::paintText(QPainter& p) {
    const int top = isPressed() ? 4 : 3;
    p.setFont(textFont(shownText()));
    p.drawText(rect().adjusted(0, top, 0, 0), Qt::AlignHCenter | Qt::AlignTop, shownText());
}

}  // namespace qel
