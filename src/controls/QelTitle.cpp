// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelTitle.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "controls/ControlStyle.h"
#include "controls/MessageBoxes.h"
#include "resources/Skins.h"

namespace qel {

namespace {
constexpr int kTabTop = 7;  // tabs and buttons span y 7..23 of the strip
constexpr int kTabHeight = 17;
constexpr int kFirstTabX = 6;
constexpr int kChannelGap = 32;  // between the last tab and the first channel button
constexpr int kChannelWidth = 58;
constexpr int kHalf = kChannelWidth / 2;
constexpr int kIconX = 40;  // link icon offset within a channel button

bool inStripRows(QPoint pos) {
    return pos.y() >= 7 && pos.y() <= 24;
}
}  // namespace

CQelTitle::CQelTitle(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Qel.CQelTitle"));
    setFont(controlFont(13));
    setMouseTracking(true);
    if (parent) {
        setGeometry(0, 0, parent->width(), 24);
        parent->installEventFilter(this);
    } else {
        resize(960, 24);
    }
}

void CQelTitle::setCallback(QObject* owner, Callback callback) {
    owner_ = owner;
    callback_ = std::move(callback);
}

void CQelTitle::addTab(const QString& text, int kind, int tabId) {
    tabs_.push_back(Tab{text, tabId, kind, 0, {}});
    update();
}

void CQelTitle::setChannelCounts(int inputs, int outputs) {
    inputs_ = std::clamp(inputs, 0, TitleLinks::kChannels);
    outputs_ = std::clamp(outputs, 0, TitleLinks::kChannels);
    update();
}

// Follows the parent's width, as the strip spans its client area.
bool CQelTitle::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        resize(parentWidget()->width(), 24);
    }
    return QWidget::eventFilter(watched, event);
}

int CQelTitle::tabWidth(int tab) const {
    const int text = fontMetrics().horizontalAdvance(tabs_.at(tab).text);
    return text + 14 + (tab == current_ ? 8 : 0);
}

QRect CQelTitle::tabRect(int tab) const {
    int x = kFirstTabX;
    for (int i = 0; i < tab; ++i) x += tabWidth(i);
    return {x, kTabTop, tabWidth(tab), kTabHeight};
}

int CQelTitle::channelCount() const {
    if (tabs_.empty()) return 0;
    switch (tabs_.at(current_).kind) {
        case kInputChannels:
            return inputs_;
        case kOutputChannels:
            return outputs_;
        default:
            return 0;
    }
}

QRect CQelTitle::channelRect(int channel) const {
    if (channel < 0 || channel >= channelCount()) return {};
    const int first = tabRect(tabCount() - 1).right() + 1 + kChannelGap;
    return {first + channel * kChannelWidth, kTabTop, kChannelWidth, kTabHeight};
}

QRect CQelTitle::linkIconRect(int channel) const {
    const QRect r = channelRect(channel);
    return r.isNull() ? QRect() : QRect(r.x() + kIconX, 12, 14, 7);
}

QString CQelTitle::channelLabel(int channel) const {
    const bool input = tabs_.at(current_).kind == kInputChannels;
    const QChar name(input ? u'A' + channel : u'1' + channel);
    return (input ? tr("In ") : tr("Out ")) + name;
}

QColor CQelTitle::groupColour(int group) {
    switch (group) {
        case 1:
            return {0, 0, 220};
        case 2:
            return {220, 0, 0};
        case 3:
            return {0, 220, 0};
        case 4:
            return {250, 160, 0};
        default:
            return Qt::black;
    }
}

int CQelTitle::tabAt(QPoint pos) const {
    if (!inStripRows(pos)) return -1;
    for (int i = 0; i < tabCount(); ++i) {
        const QRect r = tabRect(i);
        if (pos.x() >= r.left() && pos.x() <= r.right()) return i;
    }
    return -1;
}

int CQelTitle::channelAt(QPoint pos) const {
    if (!inStripRows(pos)) return -1;
    for (int c = 0; c < channelCount(); ++c) {
        const QRect r = channelRect(c);
        if (pos.x() >= r.left() && pos.x() <= r.right()) return c;
    }
    return -1;
}

// The icon's press zone: button x + 40 .. + 54, y 9..22.
bool CQelTitle::inLinkZone(int channel, QPoint pos) const {
    const int x = channelRect(channel).x() + kIconX;
    return pos.x() >= x && pos.x() <= x + 14 && pos.y() >= 9 && pos.y() <= 22;
}

void CQelTitle::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int tab = tabAt(pos);
    const int channel = tab < 0 ? channelAt(pos) : -1;
    if (tab != hoverTab_ || channel != hoverChannel_) {
        hoverTab_ = tab;
        hoverChannel_ = channel;
        update();
    }
}

void CQelTitle::leaveEvent(QEvent*) {
    if (hoverTab_ < 0 && hoverChannel_ < 0) return;
    hoverTab_ = hoverChannel_ = -1;
    update();
}

void CQelTitle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const int tab = tabAt(pos);
    if (tab >= 0) {
        if (tab != current_) pressTab(tab);
        return;
    }
    const int channel = channelAt(pos);
    if (channel >= 0) pressChannel(channel, pos);
}

void CQelTitle::selectTab(int tab) {
    if (tab < 0 || tab >= tabCount() || tab == current_) return;
    current_ = tab;
    hoverChannel_ = -1;
    update();
}

void CQelTitle::pressTab(int tab) {
    current_ = tab;
    hoverChannel_ = -1;
    update();
    const Tab& t = tabs_.at(tab);
    report(t.selected + 1, t.links.linkMask());
}

void CQelTitle::pressChannel(int channel, QPoint pos) {
    update();
    if (inLinkZone(channel, pos)) return pressLink(channel);
    Tab& t = tabs_.at(current_);
    if (channel == t.selected) return;
    t.selected = channel;
    report(channel + 1, t.links.members(channel) | 1 << channel);
}

void CQelTitle::pressLink(int channel) {
    const int tab = current_;
    Tab& t = tabs_.at(tab);
    const auto confirm = [this] {
        return showMessage(this, tr("Do you want to bind the chunnel?"), tr("EQ Control"),
                           MsgIcon::Question, MsgButtons::YesNoCancel) == MsgAnswer::Yes;
    };
    const auto changed = t.links.pressIcon(t.selected, channel, confirm);
    update();
    if (changed) report(changed->value, changed->mask);
}

void CQelTitle::report(int value, int mask) {
    if (callback_) callback_(owner_, tabs_.at(current_).id, value, mask);
}

void CQelTitle::paintEvent(QPaintEvent*) {
    if (skin_.isNull()) skin_ = skin::bitmap(skinid::kTitleStrip);
    QPainter p(this);
    if (!skin_.isNull()) {
        for (int x = 0; x < width(); x += 24) p.drawPixmap(x, 0, skin_, 0, 0, 24, 24);
    }
    p.setPen(Qt::black);
    for (int i = 0; i < tabCount(); ++i) paintTab(p, i);
    for (int c = 0; c < channelCount(); ++c) paintChannel(p, c);
}

// Two halves from the 64-wide tab image: outer edges only at the ends of the row.
void CQelTitle::paintTab(QPainter& p, int tab) {
    const QRect r = tabRect(tab);
    const int sy = tab == current_ ? 0 : tab == hoverTab_ ? 34 : 17;
    const int left = r.width() / 2;
    const int right = r.width() - left;
    const int rightEnd = tab == tabCount() - 1 ? 88 : 87;
    p.drawPixmap(r.x(), kTabTop, skin_, tab == 0 ? 24 : 25, sy, left, kTabHeight);
    p.drawPixmap(r.x() + left, kTabTop, skin_, rightEnd - right, sy, right, kTabHeight);
    p.setPen(Qt::black);
    p.drawText(QRect(r.x() + 8, 8, r.width() - 14, 24), Qt::AlignHCenter | Qt::AlignTop,
               tabs_.at(tab).text);
}

void CQelTitle::paintChannel(QPainter& p, int channel) {
    const Tab& t = tabs_.at(current_);
    const int x = channelRect(channel).x();
    const int sy = channel == t.selected ? 0 : channel == hoverChannel_ ? 34 : 17;
    p.drawPixmap(x, kTabTop, skin_, channel == 0 ? 24 : 25, sy, kHalf, kTabHeight);
    p.drawPixmap(x + kHalf, kTabTop, skin_, 58, sy, kHalf, kTabHeight);
    const bool linked = t.links.holds(channel, t.selected);
    p.drawPixmap(x + kIconX, 12, skin_, linked ? 109 : 92, sy + 5, 14, 7);
    p.setPen(groupColour(t.links.group(channel)));
    p.drawText(QRect(x + 8, 8, 32, 24), Qt::AlignHCenter | Qt::AlignTop, channelLabel(channel));
}

}  // namespace qel
