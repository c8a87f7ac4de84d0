// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/EventLogFiles.h"

#include <QDir>
#include <QFile>

namespace qel::eventlog {

namespace {
constexpr QLatin1String kPrefix("events-"), kSuffix(".jsonl");
}

QString fileName(QDate day) {
    return kPrefix + day.toString(Qt::ISODate) + kSuffix;
}

QDate dayOf(const QString& name) {
    if (!name.startsWith(kPrefix) || !name.endsWith(kSuffix)) return {};
    const QString date = name.mid(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    return date.size() == 10 ? QDate::fromString(date, Qt::ISODate) : QDate();
}

std::vector<QDate> days(const QString& folder) {
    std::vector<QDate> out;
    const QStringList names =
        QDir(folder).entryList({kPrefix + QLatin1String("*") + kSuffix}, QDir::Files, QDir::Name);
    for (const QString& name : names)
        if (const QDate day = dayOf(name); day.isValid()) out.push_back(day);
    return out;
}

Reading read(const QString& folder, QDate from, QDate to) {
    Reading reading;
    for (const QDate day : days(folder)) {
        if ((from.isValid() && day < from) || (to.isValid() && day > to)) continue;
        QFile file(QDir(folder).filePath(fileName(day)));
        if (!file.open(QIODevice::ReadOnly)) {
            reading.error = file.fileName() + QStringLiteral(": ") + file.errorString();
            continue;
        }
        const QByteArray all = file.readAll();
        qsizetype start = 0;
        while (start < all.size()) {
            qsizetype end = all.indexOf('\n', start);
            if (end < 0) end = all.size();
            const QByteArray line = all.mid(start, end - start).trimmed();
            start = end + 1;
            if (line.isEmpty()) continue;
            if (auto record = EventRecord::fromJsonLine(line))
                reading.records.push_back(std::move(*record));
            else
                ++reading.skipped;
        }
    }
    return reading;
}

}  // namespace qel::eventlog
