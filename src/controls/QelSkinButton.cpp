// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelSkinButton.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "controls/ControlStyle.h"
#include "resources/Skins.h"

namespace qel {

CQelSkinButton::CQelSkinButton(const QString& className, int bitmapId, QWidget* parent)
    : QWidget(parent), bitmapId_(bitmapId) {
    setObjectName(QStringLiteral("Qel.") + className);
    setFont(controlFont(13));
}

void CQelSkinButton::setCallback(QObject* owner, int id, ControlCallback callback) {
    owner_ = owner;
    id_ = id;
    callback_ = std::move(callback);
}

void CQelSkinButton::setBitmapId(int resourceId) {
    bitmapId_ = resourceId;
    loaded_ = false;
    update();
}

QFont CQelSkinButton::textFont(const QString& text) const {
    constexpr int kMinStretch = 80;
    QFont f = font();
    const int room = width() - 2 * kTextMargin;
    const int advance = QFontMetrics(f).horizontalAdvance(text);
    if (advance <= room) return f;
    for (int stretch = std::max(kMinStretch, 100 * room / advance); stretch >= kMinStretch;
         --stretch) {
        f.setStretch(stretch);
        if (QFontMetrics(f).horizontalAdvance(text) <= room) break;
    }
    return f;
}

void CQelSkinButton::report(int value) const {
    if (callback_) callback_(owner_, id_, value);
}

void CQelSkinButton::setHover(bool on) {
    if (hover_ == on) return;
    hover_ = on;
    update();
}

void CQelSkinButton::paintEvent(QPaintEvent*) {
    if (!loaded_) {
        bitmap_ = skin::bitmap(bitmapId_);
        loaded_ = true;
    }
    QPainter p(this);
    const int skinWidth = bitmap_.width();
    if (!bitmap_.isNull() && width() <= skinWidth) {
        p.drawPixmap(0, 0, bitmap_, 0, stateY(), width(), height());
    } else if (!bitmap_.isNull()) {
        // A button wider than its skin keeps the skin's edges and stretches its middle.
        constexpr int kEdge = 4;
        const int y = stateY(), h = height();
        p.drawPixmap(QRect(0, 0, kEdge, h), bitmap_, QRect(0, y, kEdge, h));
        p.drawPixmap(QRect(kEdge, 0, width() - 2 * kEdge, h), bitmap_,
                     QRect(kEdge, y, skinWidth - 2 * kEdge, h));
        p.drawPixmap(QRect(width() - kEdge, 0, kEdge, h), bitmap_,
                     QRect(skinWidth - kEdge, y, kEdge, h));
    }
    p.setPen(isEnabled() ? QColor(Qt::black) : QColor(Qt::gray));
    paintText(p);
}

void CQelSkinButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    capture();
    pressed_ = true;
    update();
}

void CQelSkinButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    // Without capture only a release over the window itself would have been seen.
    const bool heard = captured_ || rect().contains(pos);
    const bool click = heard && pressed_ && hitBox().contains(pos);
    captured_ = false;
    pressed_ = false;
    hover_ = false;
    update();
    if (click) act();
}

}  // namespace qel
