// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/MyStatusBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "resources/Skins.h"

namespace qel {

CMyStatusBar::CMyStatusBar(QWidget* parent) : QStatusBar(parent) {
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(13);
    tahoma.setWeight(QFont::Normal);
    setFont(tahoma);
    setMinimumHeight(kMinHeight);
    panes_ = {{0, true, {}}, {120, true, {}}, {92, false, {}}, {64, false, {}}, {110, false, {}}};
    // Set as any text is, so that a pane is as wide as its first text too.
    for (int i = 1; i < paneCount(); ++i) setPaneText(i, initialText(i));
    connect(this, &QStatusBar::messageChanged, this, [this] { update(); });
    flash_.setInterval(kFlashMs);
    connect(&flash_, &QTimer::timeout, this, [this] {
        flashOn_ = !flashOn_;
        update(alarmRect());
    });
}

void CMyStatusBar::setAlarms(int count, int newCount) {
    if (count == alarms_ && newCount == newAlarms_) return;
    alarms_ = count;
    newAlarms_ = newCount;
    if (newCount > 0 && !flash_.isActive()) flash_.start();
    if (newCount == 0) flash_.stop();
    flashOn_ = newCount > 0;
    updateGeometry();
    update();
}

QString CMyStatusBar::alarmText() const {
    if (!alarms_) return {};
    return newAlarms_ ? tr("报警 %1 (新 %2)").arg(alarms_).arg(newAlarms_) : tr("报警 %1").arg(alarms_);
}

int CMyStatusBar::alarmRoom() const {
    return alarms_ ? fontMetrics().horizontalAdvance(alarmText()) + 2 * kPaneBorder + kPaneGap : 0;
}

QRect CMyStatusBar::alarmRect() const {
    const int room = alarmRoom();
    if (!room) return {};
    return {width() - kGripWidth - room + kPaneGap, 1, room - kPaneGap, height() - 2};
}

void CMyStatusBar::paintAlarms(QPainter& p) const {
    const QRect r = alarmRect();
    if (r.isEmpty()) return;
    // Bright red while steady (all acknowledged); new ones flash between bright and dark.
    p.fillRect(r, !newAlarms_ || flashOn_ ? QColor(204, 0, 0) : QColor(110, 0, 0));
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, alarmText());
}

QString CMyStatusBar::initialText(int index) {
    switch (index) {
        case 1:
            return tr("名称: -");
        case 2:
            return tr("状态:-");
        case 3:
            return tr("模式号码:-");
        case 4:
            return tr("模式号码:名称");
        default:
            return {};
    }
}

void CMyStatusBar::setPaneInfo(int index, int width, bool stretch) {
    if (index < 0 || index >= paneCount()) return;
    panes_[index].width = std::max(0, width);
    panes_[index].stretch = stretch;
    updateGeometry();
    update();
}

int CMyStatusBar::paneWidth(int index) const {
    return index >= 0 && index < paneCount() ? panes_[index].shownWidth() : 0;
}

bool CMyStatusBar::paneStretches(int index) const {
    return index >= 0 && index < paneCount() && panes_[index].stretch;
}

void CMyStatusBar::setPaneText(int index, const QString& text) {
    if (index < 0 || index >= paneCount() || panes_[index].text == text) return;
    Pane& pane = panes_[index];
    pane.text = text;
    // A text wider than its pane widens it (pane 0 shows the passing messages: it does not).
    const int wanted = index ? fontMetrics().horizontalAdvance(text) + kTextRoom : 0;
    if (std::max(wanted, pane.width) != std::max(pane.textWidth, pane.width)) {
        pane.textWidth = wanted;
        updateGeometry();
        update();
        return;
    }
    pane.textWidth = wanted;
    // A message in pane 0 takes room from the stretching panes after it.
    if (index == 0)
        update();
    else
        update(paneRect(index));
}

QString CMyStatusBar::paneText(int index) const {
    return index >= 0 && index < paneCount() ? panes_[index].text : QString();
}

QString CMyStatusBar::shownText(int index) const {
    return index == 0 && !currentMessage().isEmpty() ? currentMessage() : paneText(index);
}

// Panes run from the left edge with a small gap between them and end kGripWidth before the
// right edge. Spare width goes first to the message in pane 0, as much as it needs; the rest
// is shared by the stretching panes, first ones first.
QRect CMyStatusBar::paneRect(int index) const {
    if (index < 0 || index >= paneCount()) return {};
    int spare = width() - kGripWidth - alarmRoom() + kPaneGap;
    int stretching = 0;
    for (const Pane& pane : panes_) {
        spare -= pane.shownWidth() + kPaneBorder + kPaneGap;
        if (pane.stretch) ++stretching;
    }
    const QString message = shownText(0);
    const int wanted = message.isEmpty() ? 0 : fontMetrics().horizontalAdvance(message) + kTextRoom;
    const int messageRoom = std::clamp(wanted - panes_[0].shownWidth(), 0, std::max(spare, 0));
    spare -= messageRoom;
    int left = 0;
    for (int i = 0;; ++i) {
        int w = panes_[i].shownWidth() + kPaneBorder + (i == 0 ? messageRoom : 0);
        if (panes_[i].stretch && spare > 0) {
            const int share = spare / stretching--;
            w += share;
            spare -= share;
        }
        if (i == index) return {left, 1, w, height() - 2};
        left += w + kPaneGap;
    }
}

int CMyStatusBar::textOffset(int paneWidth) {
    return paneWidth <= kNarrowPane ? 2 : 7;
}

QRect CMyStatusBar::textRect(int index) const {
    const QRect pane = paneRect(index);
    return pane.adjusted(textOffset(pane.width()), kTextDown, 0, kTextDown);
}

bool CMyStatusBar::turnOnSkin() {
    if (skinOn_) return false;
    skin_ = skin::bitmap(kSkinId);
    skinOn_ = true;
    setSizeGripEnabled(false);
    setFixedHeight(kSkinHeight);
    setMouseTracking(true);
    update();
    return true;
}

QRect CMyStatusBar::gripRect() const {
    return skinOn_ ? QRect(width() - kGripWidth, 0, kGripWidth, height()) : QRect();
}

QSize CMyStatusBar::sizeHint() const {
    int w = kGripWidth + alarmRoom();
    for (const Pane& pane : panes_) w += pane.shownWidth() + kPaneBorder + kPaneGap;
    const int h = skinOn_ ? kSkinHeight : std::max(kMinHeight, fontMetrics().height() + 4);
    return {w, h};
}

QSize CMyStatusBar::minimumSizeHint() const {
    return {kGripWidth, sizeHint().height()};
}

void CMyStatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (skinOn_ && !skin_.isNull())
        paintSkin(p);
    else
        paintPlain(p);
    paintAlarms(p);
}

void CMyStatusBar::paintSkin(QPainter& p) const {
    const int tile = 4, end = skin_.width() - tile;
    p.drawTiledPixmap(QRect(0, 0, width(), kSkinHeight), skin_.copy(0, 0, tile, kSkinHeight));
    p.drawPixmap(width() - end, 0, skin_, tile, 0, end, kSkinHeight);
    paintPanes(p, QColor(161, 161, 161), QColor(255, 255, 255));
}

void CMyStatusBar::paintPlain(QPainter& p) const {
    p.fillRect(rect(), palette().window());
    paintPanes(p, palette().color(QPalette::Mid), palette().color(QPalette::Light));
}

void CMyStatusBar::paintPanes(QPainter& p, const QColor& dark, const QColor& light) const {
    p.setFont(font());
    for (int i = 0; i < paneCount(); ++i) {
        const QRect pane = paneRect(i);
        if (pane.width() <= 1) continue;
        const int x = pane.left();
        p.setPen(dark);
        p.drawLine(x - 1, 1, x - 1, 18);
        p.setPen(light);
        p.drawLine(x - 2, 1, x - 2, 18);
        p.drawLine(x, 1, x, 18);
        p.save();
        p.setClipRect(pane);
        p.setPen(Qt::black);
        p.drawText(textRect(i), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   shownText(i));
        p.restore();
    }
}

void CMyStatusBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && alarmRect().contains(event->position().toPoint())) {
        emit alarmsPressed();
        return;
    }
    QWidget* frame = window();
    if (event->button() != Qt::LeftButton || !gripRect().contains(event->position().toPoint()) ||
        frame == this || frame->isMaximized()) {
        QStatusBar::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragStart_ = event->globalPosition().toPoint();
    windowStart_ = frame->geometry();
}

void CMyStatusBar::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        if (gripRect().contains(event->position().toPoint()))
            setCursor(Qt::SizeFDiagCursor);
        else
            unsetCursor();
        return;
    }
    const QPoint moved = event->globalPosition().toPoint() - dragStart_;
    window()->resize(windowStart_.size() + QSize(moved.x(), moved.y()));
    update();
}

void CMyStatusBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QStatusBar::mouseReleaseEvent(event);
}

}  // namespace qel
