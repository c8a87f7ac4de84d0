// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/QelEqMgr.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "device/UnitText.h"
#include "platform/Clock.h"
#include "resources/Skins.h"

namespace qel {

namespace {
constexpr int kRowIcon = 139;
constexpr int kTextLeft = 36, kTextRight = 6, kRowInset = 4;
const QColor kBackground(255, 255, 255), kSelectedFill(240, 250, 255),
    kSelectedBorder(164, 209, 255), kFill(246, 253, 255), kBorder(204, 249, 255),
    kAlarmFill(255, 232, 230), kAlarmBorder(204, 0, 0);
constexpr int kBadgeWidth = 24, kBadgeHeight = 16;
}  // namespace

CQelEqMgr::CQelEqMgr(EquipmentList& list, QWidget* parent)
    : QWidget(parent), list_(list), clock_(tickMs) {
    setObjectName("Qel.m_eqmgr");
    connect(&watch_, &QTimer::timeout, this, [this] {
        if (!isVisible() || rowTexts(list_.snapshot()) == painted_) return;
        update();
        emit rowsChanged();
    });
    watch_.start(kWatchMs);
}

QStringList CQelEqMgr::rowTexts(const std::vector<EquipmentList::Entry>& units) {
    QStringList texts;
    for (const auto& unit : units) texts << firstLine(*unit) << secondLine(*unit);
    return texts;
}

const QFont& CQelEqMgr::listFont() {
    static const QFont font = [] {
        QFont f("Tahoma");
        f.setPixelSize(13);
        f.setWeight(QFont::Normal);
        f.setStyleHint(QFont::SansSerif);
        return f;
    }();
    return font;
}

QRect CQelEqMgr::rowRect(int row, int width) {
    // Rows are 42 pixels high with 4 pixels between them.
    const int top = 4 + 46 * row;
    return QRect(4, top, width - 8, 46 * (row + 1) - top);
}

QString CQelEqMgr::firstLine(const Equipment& unit) {
    return QString("%1:%2").arg(QString::fromStdString(unit.modelName()),
                                QString::fromStdString(unpaddedUnitText(unit.deviceName())));
}

QString CQelEqMgr::secondLine(const Equipment& unit) {
    const QString via = unit.isVirtual()                  ? tr("虚拟")
                        : unit.hasFlag(linkflag::kSerial) ? QString::fromStdString(unit.portName())
                                                          : QString("UDP");
    switch (unit.state()) {
        case Equipment::State::NotConnected:
            return tr("状态:断开 (%1)").arg(via);
        case Equipment::State::NotAnswering:
            return tr("状态:无响应 (%1)").arg(via);
        case Equipment::State::Online:
            break;
    }
    return tr("状态:在线 (%1)").arg(via);
}

const QColor& CQelEqMgr::alarmColour() {
    return kAlarmBorder;
}

int CQelEqMgr::rowsWidth() const {
    // The advance up to the next whole pixel: a fraction more would end the line in "…".
    const QFontMetricsF m(listFont());
    qreal text = 0;
    for (const QString& line : rowTexts(list_.snapshot()))
        text = std::max(text, m.horizontalAdvance(line));
    return text > 0 ? kTextLeft + static_cast<int>(std::ceil(text)) + kTextRight + kRowInset : 0;
}

void CQelEqMgr::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.setFont(listFont());
    const QPixmap icon = skin::bitmap(kRowIcon);
    const auto units = list_.snapshot();
    painted_ = rowTexts(units);
    if (units.empty()) paintOffer(p);
    for (int i = 0; i < static_cast<int>(units.size()); ++i) {
        const QRect r = rowRect(i, width());
        if (r.top() > height()) break;
        const bool selected = i == selection_;
        const int alarms = alarmCount_ ? alarmCount_(*units[size_t(i)]) : 0;
        p.fillRect(r, alarms ? kAlarmFill : selected ? kSelectedFill : kFill);
        p.setPen(alarms ? kAlarmBorder : selected ? kSelectedBorder : kBorder);
        p.drawRect(r.x(), r.y(), r.width() - 1, r.height() - 1);
        if (alarms) {  // a second line of border, and the count in a badge at the right
            p.drawRect(r.x() + 1, r.y() + 1, r.width() - 3, r.height() - 3);
            const QRect badge(r.right() - kBadgeWidth - 3, r.top() + 5, kBadgeWidth, kBadgeHeight);
            p.fillRect(badge, kAlarmBorder);
            p.setPen(Qt::white);
            p.drawText(badge, Qt::AlignCenter, alarms > 99 ? QStringLiteral("99+")
                                                           : QString::number(alarms));
        }
        p.setPen(Qt::black);
        // A line too long for the row ends in "…" clear of the row's border, not in a cut letter;
        // the spaces a unit pads its name with take no room.
        const int textWidth =
            r.x() + r.width() - kTextRight - kTextLeft - (alarms ? kBadgeWidth + 4 : 0);
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        const auto fitted = [&p, textWidth](QString line) {
            while (line.endsWith(u' ')) line.chop(1);
            return p.fontMetrics().elidedText(line, Qt::ElideRight, textWidth);
        };
        p.drawText(QRect(kTextLeft, r.top() + 6, textWidth, 16), flags, fitted(painted_[2 * i]));
        p.drawText(QRect(kTextLeft, r.top() + 24, textWidth, 16), flags,
                   fitted(painted_[2 * i + 1]));
        if (!icon.isNull()) p.drawPixmap(r.left() + 4, r.top() + 8, icon);
    }
}

void CQelEqMgr::setEmptyOffer(const QString& text, std::function<void()> action) {
    offerText_ = text;
    offerAction_ = std::move(action);
    update();
}

void CQelEqMgr::paintOffer(QPainter& p) {
    if (offerText_.isEmpty()) return;
    QFont link = listFont();
    link.setUnderline(true);
    p.save();
    p.setFont(link);
    p.setPen(QColor(0, 0, 204));
    p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               offerText_);
    p.restore();
}

int CQelEqMgr::hitRow(QPoint pt) const {
    const int count = static_cast<int>(list_.count());
    for (int i = 0; i < count; ++i) {
        const QRect r = rowRect(i, width());
        // Strictly inside: the edges and the gaps between rows belong to no row.
        if (pt.x() > r.x() && pt.x() < r.x() + r.width() && pt.y() > r.y() &&
            pt.y() < r.y() + r.height())
            return i;
    }
    return -1;
}

void CQelEqMgr::select() {
    selection_ = hitRow(clickPoint_);
}

void CQelEqMgr::open() {
    select();
    if (selection_ < 0 || !onOpen_) return;
    if (auto unit = list_.at(static_cast<size_t>(selection_))) onOpen_(this, unit);
}

void CQelEqMgr::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    clickPoint_ = event->position().toPoint();
    if (list_.count() == 0 && offerAction_ && !offerText_.isEmpty()) {
        offerAction_();
        return;
    }
    const bool quickSecond = clock_() - lastClick_ < kOpenWithinMs;
    if (quickSecond)
        open();
    else
        select();
    lastClick_ = clock_();
    update();
}

}  // namespace qel
