// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "eqresponse/view/QelEqType.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "resources/Skins.h"

namespace qel {

CQelEqType::CQelEqType(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Qel.CQelEqType"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void CQelEqType::setCallback(QObject* owner, int id, ControlCallback callback) {
    owner_ = owner;
    id_ = id;
    callback_ = std::move(callback);
}

void CQelEqType::setType(int type) {
    type_ = std::clamp(type, 0, 2);
    update();
}

bool CQelEqType::inside(QPointF pos) {
    return pos.x() >= 0 && pos.x() <= 15 && pos.y() >= 0 && pos.y() <= 47;
}

void CQelEqType::setHover(int hover) {
    if (hover == hover_) return;
    hover_ = hover;
    update();
}

void CQelEqType::paintEvent(QPaintEvent*) {
    if (skin_.isNull()) skin_ = skin::bitmap(kBitmapId);
    QPainter p(this);
    for (int i = 0; i < 3; ++i) {
        const int row = i == type_ ? 0 : hover_ == i + 1 ? kButton : 2 * kButton;
        p.drawPixmap(0, kPitch * i, skin_, kButton * i, row, kButton, kButton);
    }
}

void CQelEqType::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    if (!inside(pos)) return setHover(0);
    setHover(pos.y() <= 15 ? 1 : pos.y() <= 30 ? 2 : 3);
}

void CQelEqType::leaveEvent(QEvent*) {
    setHover(0);
}

void CQelEqType::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    pressed_ = true;
    update();
}

void CQelEqType::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    const QPointF pos = event->position();
    if (pressed_ && inside(pos)) {
        type_ = pos.y() <= 15 ? 0 : pos.y() > 30 ? 2 : 1;
        if (callback_) callback_(owner_, id_, type_);
    }
    pressed_ = false;
    hover_ = 0;
    update();
}

}  // namespace qel
