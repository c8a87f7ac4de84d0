// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/EventLogWriter.h"

#include <QDir>
#include <QFile>
#include <chrono>

#include "device/EventLogFiles.h"

namespace qel {

namespace {
qint64 steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

EventLogWriter::EventLogWriter(QString folder, int keepDays, Failed failed)
    : folder_(std::move(folder)),
      keepDays_(keepDays > 0 ? keepDays : kDefaultKeepDays),
      failed_(std::move(failed)),
      thread_([this] { run(); }) {}

EventLogWriter::~EventLogWriter() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void EventLogWriter::push(QDate day, QByteArray line) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        queue_.push_back({day, std::move(line)});
    }
    wake_.notify_one();
}

void EventLogWriter::flush() {
    std::unique_lock<std::mutex> hold(lock_);
    idle_.wait(hold, [this] { return queue_.empty() && !busy_; });
}

long long EventLogWriter::dropped() const {
    std::lock_guard<std::mutex> hold(lock_);
    return dropped_;
}

void EventLogWriter::run() {
    prune(QDate::currentDate());
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        wake_.wait(hold, [this] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) break;  // stopped with nothing left
        std::deque<Item> taken;
        taken.swap(queue_);
        busy_ = true;
        hold.unlock();
        long long lost = 0;
        // One write per run of lines of the same day.
        for (size_t i = 0; i < taken.size();) {
            const QDate day = taken[i].day;
            QByteArray text;
            size_t j = i;
            for (; j < taken.size() && taken[j].day == day; ++j) text += taken[j].line + '\n';
            QString why;
            if (failing_ && steadyMs() < retryAt_) {
                lost += qint64(j - i);
            } else if (!write(day, text, why)) {
                lost += qint64(j - i);
                retryAt_ = steadyMs() + kRetryMs;
                if (!std::exchange(failing_, true) && failed_) failed_(why);
            } else {
                failing_ = false;
            }
            i = j;
        }
        hold.lock();
        dropped_ += lost;
        busy_ = false;
        idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

bool EventLogWriter::write(QDate day, const QByteArray& text, QString& why) {
    if (day != openDay_) {
        if (openDay_.isValid() && day > openDay_) prune(day);
        openDay_ = day;
    }
    if (!QDir().mkpath(folder_)) {
        why = QStringLiteral("%1: cannot make the folder").arg(folder_);
        return false;
    }
    QFile file(QDir(folder_).filePath(eventlog::fileName(day)));
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        why = file.fileName() + QStringLiteral(": ") + file.errorString();
        return false;
    }
    // A line cut short (the program stopped in the middle of it) ends before the new ones.
    QByteArray out;
    if (const qint64 size = file.size(); size > 0) {
        file.seek(size - 1);
        if (file.read(1) != "\n") out = "\n";
    }
    out += text;
    if (file.write(out) != out.size() || !file.flush()) {
        why = file.fileName() + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

void EventLogWriter::prune(QDate today) const {
    const QDate oldest = today.addDays(-(keepDays_ - 1));
    for (const QDate day : eventlog::days(folder_))
        if (day < oldest) QFile::remove(QDir(folder_).filePath(eventlog::fileName(day)));
}

}  // namespace qel
