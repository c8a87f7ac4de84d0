// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>
#include <QString>
#include <optional>

namespace qel {

// One entry of the event log, as one line of JSON in the day's file:
//   {"time":"2026-12-09T20:14:03.120+01:00","kind":"edit","unit":"Stage-L (QD408)",
//    "address":"192.168.6.20","origin":"client:Tablet","channel":"out:1",
//    "setting":"outputs[0].gainDb","from":-3,"to":-6,"edits":14}
// Fields that do not apply are left out. kind is one of the k... names below.
struct EventRecord {
    static constexpr const char* kConnect = "connect";  // connected and read
    static constexpr const char* kDisconnect = "disconnect";
    static constexpr const char* kNotAnswering = "not-answering";
    static constexpr const char* kLost = "lost";
    static constexpr const char* kBack = "back";          // answers again
    static constexpr const char* kTransfer = "transfer";  // what: see below
    static constexpr const char* kRecall = "recall";      // a mode stored in the unit taken up
    static constexpr const char* kAlarm = "alarm";
    static constexpr const char* kAlarmCleared = "alarm-cleared";
    static constexpr const char* kEdit = "edit";
    // What a transfer was.
    static constexpr const char* kRead = "read";
    static constexpr const char* kDownload = "download";
    static constexpr const char* kImport = "import";
    static constexpr const char* kSync = "sync";
    static constexpr const char* kShowSend = "show-send";
    static constexpr const char* kPcMode = "pc-mode";

    QDateTime time;
    QString kind;
    QString unit;     // name (model)
    QString address;  // IP address or serial port
    QString origin;   // edits: who made them ("desktop", "client:NAME", "group:NAME", ...)
    QString channel;  // "in:A", "out:3"
    QString setting;  // edits: the setting's path in a preset document; alarms: the alarm
    QString what;     // transfers: kRead ... kPcMode
    QString detail;   // free text: a file, a slot, why it failed
    std::optional<bool> ok;     // transfers, recalls
    QJsonValue from, to;        // edits: the value before the first edit and after the last
    int edits = 0;              // edits: how many were summed up (0: not an edit)

    // One line without its newline.
    QByteArray toJsonLine() const;
    // None for a line that is not an entry (cut, garbage, no time or kind).
    static std::optional<EventRecord> fromJsonLine(const QByteArray& line);
    friend bool operator==(const EventRecord&, const EventRecord&) = default;
};

}  // namespace qel
