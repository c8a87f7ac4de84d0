// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "link/EquipmentList.h"

class QPainter;

namespace qel {

// The owner-drawn list of known units: one 42-pixel row per unit with its model and name and
// its connection state. A press selects a row; a second press within 250 ms opens it. The
// units' states change on their link threads: the list looks at them every kWatchMs and
// repaints when a row would read differently. A unit with alarms has a red row with their
// count at its right. An empty list may show an offer instead.
class CQelEqMgr : public QWidget {
    Q_OBJECT
public:
    using OpenHandler = std::function<void(QWidget* owner, const EquipmentList::Entry& unit)>;
    // How many alarms a unit has listed.
    using AlarmCount = std::function<int(const Equipment& unit)>;

    static constexpr uint32_t kOpenWithinMs = 250;
    static constexpr int kWatchMs = 250;

    CQelEqMgr(EquipmentList& list, QWidget* parent = nullptr);

    void setOpenHandler(OpenHandler handler) { onOpen_ = std::move(handler); }
    // Shown in place of an empty list, as a link that runs action when pressed; an empty text
    // shows nothing.
    void setEmptyOffer(const QString& text, std::function<void()> action);
    QString emptyOffer() const { return offerText_; }
    // Where the rows learn their alarms; call alarmsChanged() when they change.
    void setAlarmCount(AlarmCount count) { alarmCount_ = std::move(count); }
    void alarmsChanged() { update(); }
    static const QColor& alarmColour();
    // The millisecond tick that times the presses (tests step it by hand).
    void setClock(std::function<uint32_t()> clock) { clock_ = std::move(clock); }
    int selection() const { return selection_; }
    const EquipmentList& list() const { return list_; }
    // Row i's rectangle for a list of the given width.
    static QRect rowRect(int row, int width);
    // The two text lines of a unit's row.
    static QString firstLine(const Equipment& unit);
    static QString secondLine(const Equipment& unit);
    static const QFont& listFont();
    // The width that shows every row's texts whole; 0 for an empty list.
    int rowsWidth() const;

signals:
    // A row's text changed without a repaint request (a unit stopped or started answering).
    void rowsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void paintOffer(QPainter& p);
    int hitRow(QPoint p) const;
    static QStringList rowTexts(const std::vector<EquipmentList::Entry>& units);
    void select();
    void open();

    EquipmentList& list_;
    OpenHandler onOpen_;
    AlarmCount alarmCount_;
    std::function<uint32_t()> clock_;
    int selection_ = -1;
    uint32_t lastClick_ = 0;
    QPoint clickPoint_;
    QStringList painted_;  // the rows' texts as last painted
    QTimer watch_;
    QString offerText_;
    std::function<void()> offerAction_;
};

}  // namespace qel
