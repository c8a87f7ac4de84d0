// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QStringList>
#include <vector>

#include "device/EventRecord.h"

namespace qel {

// The event log's entries as a table, worded for people, with the rows a filter lets through:
// a unit, a kind and a time range. Entries added later (the live log) join at the end.
class EventLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kTime, kUnit, kAddress, kKind, kOrigin, kChannel, kSetting, kChange, kDetail,
                  kColumns };
    struct Filter {
        QString unit;            // empty: every unit
        QString kind;            // an EventRecord kind; empty: every kind
        QDateTime from, to;      // invalid: no bound
        bool admits(const EventRecord& record) const;
    };

    explicit EventLogModel(QObject* parent = nullptr);

    // Replaces every entry.
    void setRecords(std::vector<EventRecord> records);
    void add(const EventRecord& record);
    void setFilter(Filter filter);
    const Filter& filter() const { return filter_; }
    // The units named in the entries, in the order they first came.
    const QStringList& units() const { return units_; }
    const EventRecord& recordAt(int row) const { return records_[shown_[size_t(row)]]; }
    int allCount() const { return int(records_.size()); }

    // The kinds an entry may have, with their words; in the order a filter offers them.
    static const std::vector<const char*>& kinds();
    static QString kindText(const QString& kind);
    QString text(const EventRecord& record, int column) const;
    // The rows shown, as CSV: a header row and every field quoted. False with why.
    bool writeCsv(const QString& path, QString& why) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void noteUnit(const QString& unit);

    std::vector<EventRecord> records_;
    std::vector<size_t> shown_;
    QStringList units_;
    Filter filter_;
};

}  // namespace qel
