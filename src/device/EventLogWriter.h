// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace qel {

// Writes the event log's lines on a thread of its own, appended to the day's file in a
// folder (EventLogFiles names them); files older than the days kept are removed when the
// writer starts and when a new day begins. push() only queues, from any thread. A failed
// write (an unwritable folder, a full disk) is told once, the lines it held are dropped, and
// the files are not tried again for kRetryMs; once a write succeeds again the next failure is
// told again. Destroying the writer writes what is queued and joins the thread.
class EventLogWriter {
public:
    static constexpr int kRetryMs = 60000;
    static constexpr int kDefaultKeepDays = 90;
    // Called on the writer's thread with the reason, once per run of failures.
    using Failed = std::function<void(const QString& why)>;

    EventLogWriter(QString folder, int keepDays, Failed failed);
    ~EventLogWriter();
    EventLogWriter(const EventLogWriter&) = delete;
    EventLogWriter& operator=(const EventLogWriter&) = delete;

    const QString& folder() const { return folder_; }
    // Queues a line (without its newline) for the day's file. Any thread.
    void push(QDate day, QByteArray line);
    // Waits until everything queued so far was written or dropped. Any thread but the writer's.
    void flush();
    // Lines dropped because their file could not be written.
    long long dropped() const;

private:
    struct Item {
        QDate day;
        QByteArray line;
    };
    void run();
    // Appends the lines of one day; false with why when the file cannot be written.
    bool write(QDate day, const QByteArray& text, QString& why);
    void prune(QDate today) const;

    const QString folder_;
    const int keepDays_;
    const Failed failed_;
    mutable std::mutex lock_;  // guards queue_, stop_, busy_, dropped_
    std::condition_variable wake_, idle_;
    std::deque<Item> queue_;
    bool stop_ = false;
    bool busy_ = false;  // the writer holds lines taken from the queue
    long long dropped_ = 0;
    // The writer thread's own.
    QDate openDay_;
    bool failing_ = false;
    qint64 retryAt_ = 0;  // steady ms before which no file is tried while failing
    std::thread thread_;  // last: starts once the rest is made
};

}  // namespace qel
