// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDate>
#include <QString>
#include <vector>

#include "device/EventRecord.h"

namespace qel::eventlog {

// "events-2026-12-09.jsonl"
QString fileName(QDate day);
// The day a file's name stands for; invalid for other names.
QDate dayOf(const QString& fileName);
// The days that have a file in folder, oldest first.
std::vector<QDate> days(const QString& folder);

// What the log's files hold, oldest first: lines that are not entries (cut short, garbage)
// are counted and passed over.
struct Reading {
    std::vector<EventRecord> records;
    int skipped = 0;
    QString error;  // a file that exists but cannot be read
};
// The entries of the days from..to (an invalid date: no bound), in the order written.
Reading read(const QString& folder, QDate from = {}, QDate to = {});

}  // namespace qel::eventlog
