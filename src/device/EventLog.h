// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include "device/EventLogWriter.h"
#include "device/EventRecord.h"
#include "device/ParamEdit.h"
#include "device/UnitTransfer.h"

namespace qel {

class UnitSession;
class UnitSessions;

// The program's event log: who did what to which unit, and when. It watches the sessions
// (connected, read, not answering, lost, back, settings written, disconnected) and every
// edit of their edit paths, and takes what the front ends tell it (transfers, recalls,
// alarms). Edits are summed up: the edits of one setting of one unit by one origin that come
// within kSettleMs of each other become one entry, from the first value to the last, once
// they have settled. Entries go to an EventLogWriter (one JSON line each, one file a day);
// the edit path only formats and queues them. GUI thread only.
class EventLog : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 1000;
    using Clock = std::function<QDateTime()>;
    // A remote client's name by its number; empty when it has none.
    using ClientNames = std::function<QString(int client)>;

    explicit EventLog(const QString& folder, int keepDays = EventLogWriter::kDefaultKeepDays,
                      QObject* parent = nullptr);
    ~EventLog() override;  // writes what has not settled yet

    QString folder() const { return writer_->folder(); }
    // The sessions there are and those that come.
    void attach(UnitSessions& sessions);
    void setClientNames(ClientNames names) { clientNames_ = std::move(names); }
    // The time entries are stamped with (tests and benchmarks step it themselves).
    void setClock(Clock clock) { clock_ = std::move(clock); }

    // A transfer of the whole mode: what is one of EventRecord's kRead ... kPcMode.
    void transfer(const Equipment& unit, const char* what, UnitTransfer::Result result,
                  const QString& detail = {});
    void transfer(const Equipment& unit, const char* what, bool ok, const QString& detail = {});
    // A connection (with its read) that did not come about.
    void connectFailed(const Equipment& unit, UnitTransfer::Result result);
    // A mode stored in the unit (slot 0..19) was taken up.
    void recall(const Equipment& unit, int slot, bool ok, const QString& name = {});
    // An alarm of the unit was raised, or cleared.
    void alarm(const Equipment& unit, const QString& alarm, bool raised,
               const QString& detail = {});
    // Any entry; one without a time is stamped now.
    void add(EventRecord record);
    // Writes the runs of edits that have settled by the clock (the timer calls it).
    void writeSettled();
    // Writes every run of edits now, settled or not.
    void writeAllEdits();
    // Waits until the entries logged so far are in their files (or dropped).
    void writeQueued() { writer_->flush(); }
    // Writes every run of edits, then waits as writeQueued() (tests, benchmarks).
    void flush();
    // Lines the writer had to drop.
    long long dropped() const { return writer_->dropped(); }

    // "Stage-L (QD408)" and "192.168.6.20" or the serial port.
    static QString unitText(const Equipment& unit);
    static QString addressText(const Equipment& unit);
    // "desktop", "undo", "redo", "ab", "import", "client:NAME", "group:NAME"; "other:N" for a
    // kind this log does not know.
    QString originText(const ParamEdit::Origin& origin) const {
        return originText(origin, clientNames_);
    }
    static QString originText(const ParamEdit::Origin& origin, const ClientNames& clientNames);
    // "port-failed", "no-answer", "read-failed", "not-proven", "cancelled"; empty for success.
    static QString resultText(UnitTransfer::Result result);

signals:
    // An entry was queued for its file (edits once they settled).
    void logged(const EventRecord& record);
    // The log's files could not be written: said once, until a write succeeds again.
    void writeFailed(const QString& why);

private:
    struct Watched;
    // The edits of one channel of a unit by one origin, until they settle. The settings they
    // changed are found when the run is written: the edit path only keeps bytes.
    struct Run {
        EventRecord record;  // unit, address, origin, channel and the first edit's time
        cmd::ChannelId channel;
        uint32_t model = 0;
        std::map<size_t, uint8_t> firstBefore;  // record offset: its byte before the run
        std::vector<uint8_t> after;             // the record after the last edit
        qint64 lastMs = 0;
        quint64 order = 0;  // runs are written in the order they began
    };
    using RunKey = std::tuple<QString, QString, QString>;  // unit, channel, origin

    void watch(UnitSession* session);
    void edited(UnitSession* session, const ParamEdit::Result& result);
    void lookAtState(UnitSession* session);
    void sessionEvent(const UnitSession& session, const char* kind, std::optional<bool> ok = {},
                      const char* what = nullptr, const QString& detail = {});
    void writeRun(const Run& run);
    void writeRuns(const std::function<bool(const Run&)>& due);
    EventRecord about(const Equipment& unit, const char* kind) const;

    std::unique_ptr<EventLogWriter> writer_;
    Clock clock_;
    ClientNames clientNames_;
    std::map<UnitSession*, std::unique_ptr<Watched>> watched_;
    std::map<RunKey, Run> runs_;  // edits not yet settled
    quint64 runsBegun_ = 0;
    QTimer settle_;
};

}  // namespace qel
