// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/EventLog.h"

#include <QJsonArray>
#include <QJsonObject>
#include <set>
#include <vector>

#include "device/ChangedParams.h"
#include "device/ChannelKey.h"
#include "device/GroupControl.h"
#include "device/ModeImage.h"
#include "device/PresetJson.h"
#include "device/UnitSessions.h"
#include "link/Equipment.h"

namespace qel {

struct EventLog::Watched {
    Equipment::State state = Equipment::State::NotConnected;
    ParamEdit::Subscription listening;
};

namespace {

struct Difference {
    QString setting;  // below the channel: "gainDb", "eq.on", "eq.points[4]"
    QJsonValue before, after;
};

// The settings of one channel's preset object that differ: EQ points, filters, limiters and
// delays as whole objects, as the remote API names them.
void differences(const QString& prefix, const QJsonObject& before, const QJsonObject& after,
                 std::vector<Difference>& out) {
    for (auto it = after.begin(); it != after.end(); ++it) {
        const QJsonValue was = before.value(it.key());
        if (was == it.value()) continue;
        const QString path = prefix + it.key();
        if (it.key() == QLatin1String("eq")) {
            differences(path + QLatin1Char('.'), was.toObject(), it.value().toObject(), out);
        } else if (it.key() == QLatin1String("points")) {
            const QJsonArray a = was.toArray(), b = it.value().toArray();
            for (qsizetype k = 0; k < b.size(); ++k)
                if (k >= a.size() || a.at(k) != b.at(k))
                    out.push_back({path + QStringLiteral("[%1]").arg(k), a.at(k), b.at(k)});
        } else {
            out.push_back({path, was, it.value()});
        }
    }
}

}  // namespace

EventLog::EventLog(const QString& folder, int keepDays, QObject* parent)
    : QObject(parent),
      writer_(std::make_unique<EventLogWriter>(
          folder, keepDays,
          [this](const QString& why) {
              QMetaObject::invokeMethod(
                  this, [this, why] { emit writeFailed(why); }, Qt::QueuedConnection);
          })),
      clock_([] { return QDateTime::currentDateTime(); }) {
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &EventLog::writeSettled);
}

EventLog::~EventLog() {
    watched_.clear();
    writeAllEdits();
    writer_.reset();  // writes what is queued
}

void EventLog::attach(UnitSessions& sessions) {
    for (UnitSession* s : sessions.all()) {
        watch(s);
        sessionEvent(*s, EventRecord::kConnect, true);
    }
    connect(&sessions, &UnitSessions::opened, this, [this](UnitSession* s) {
        watch(s);
        sessionEvent(*s, EventRecord::kConnect, true);
    });
    connect(&sessions, &UnitSessions::closing, this, [this](UnitSession* s) {
        watched_.erase(s);
        const QString unit = unitText(s->unit());
        writeRuns([&unit](const Run& run) { return run.record.unit == unit; });
        sessionEvent(*s, EventRecord::kDisconnect);
    });
    connect(&sessions, &UnitSessions::connectFailed, this,
            [this](const Equipment* unit, UnitTransfer::Result result) {
                connectFailed(*unit, result);
            });
}

void EventLog::watch(UnitSession* session) {
    auto& w = watched_[session];
    w = std::make_unique<Watched>();
    w->state = session->unit().state();
    w->listening = session->edit().listen(
        [this, session](const ParamEdit::Result& result) { edited(session, result); });
    connect(session, &UnitSession::unitChanged, this, [this, session] { lookAtState(session); });
    connect(session, &UnitSession::settingsReplaced, this, [this, session] {
        sessionEvent(*session, EventRecord::kTransfer, true, EventRecord::kRead,
                     QStringLiteral("unit's settings taken"));
    });
    connect(session, &UnitSession::settingsWritten, this, [this, session](bool ok) {
        sessionEvent(*session, EventRecord::kTransfer, ok, EventRecord::kSync);
    });
    connect(session, &UnitSession::modeRecalled, this,
            [this, session](int slot, bool ok) { recall(session->unit(), slot, ok); });
}

void EventLog::lookAtState(UnitSession* session) {
    const auto it = watched_.find(session);
    if (it == watched_.end()) return;
    const auto now = session->unit().state();
    const auto was = std::exchange(it->second->state, now);
    if (now == was) return;
    using State = Equipment::State;
    sessionEvent(*session, now == State::Online         ? EventRecord::kBack
                           : now == State::NotAnswering ? EventRecord::kNotAnswering
                                                        : EventRecord::kLost);
}

void EventLog::sessionEvent(const UnitSession& session, const char* kind, std::optional<bool> ok,
                            const char* what, const QString& detail) {
    EventRecord r = about(session.unit(), kind);
    r.ok = ok;
    if (what) r.what = QLatin1String(what);
    r.detail = detail;
    add(std::move(r));
}

void EventLog::edited(UnitSession* session, const ParamEdit::Result& result) {
    if (result.changes.empty()) return;
    std::set<std::pair<cmd::Side, int>> channels;
    for (const ParamEdit::Subject& s : changedParams(result.changes))
        channels.emplace(s.channel.side, s.channel.number);
    if (channels.empty()) return;
    ParamEdit& edit = session->edit();
    // As this edit left the record (a listener before this one may have edited it further).
    std::vector<uint8_t> after = edit.recordBytes();
    for (const auto& run : result.changes)
        if (run.offset + run.after.size() <= after.size())
            std::copy(run.after.begin(), run.after.end(), after.begin() + qsizetype(run.offset));
    const QDateTime time = clock_();
    const Equipment& unit = session->unit();
    const QString unitName = unitText(unit);
    const QString origin = originText(result.origin);
    for (const auto& [side, number] : channels) {
        const QString channel = QString::fromStdString(channelKeyOf({side, number}));
        Run& run = runs_[{unitName, channel, origin}];
        if (run.record.edits == 0) {
            run.record = about(unit, EventRecord::kEdit);
            run.record.time = time;
            run.record.origin = origin;
            run.record.channel = channel;
            run.channel = {side, number};
            run.model = edit.modelCode();
            run.order = ++runsBegun_;
        }
        for (const auto& change : result.changes)
            for (size_t i = 0; i < change.before.size(); ++i)
                run.firstBefore.emplace(change.offset + i, change.before[i]);
        run.after = after;
        ++run.record.edits;
        run.lastMs = time.toMSecsSinceEpoch();
    }
    if (!settle_.isActive()) settle_.start(kSettleMs);
}

void EventLog::writeRun(const Run& run) {
    std::vector<uint8_t> before = run.after;
    for (const auto& [offset, byte] : run.firstBefore)
        if (offset < before.size()) before[offset] = byte;
    const bool input = run.channel.side == cmd::Side::Input;
    const int index = run.channel.number - 1;
    std::vector<Difference> changed;
    differences({}, presetChannelJson(ModeRecord::fromBytes(before.data()), run.model, input, index),
                presetChannelJson(ModeRecord::fromBytes(run.after.data()), run.model, input, index),
                changed);
    // A setting that ends where it began changed nothing, and is left out.
    for (Difference& d : changed) {
        EventRecord r = run.record;
        r.setting = d.setting;
        r.from = d.before;
        r.to = d.after;
        add(std::move(r));
    }
}

void EventLog::writeRuns(const std::function<bool(const Run&)>& due) {
    std::vector<const Run*> out;
    for (const auto& [key, run] : runs_)
        if (due(run)) out.push_back(&run);
    std::sort(out.begin(), out.end(), [](const Run* a, const Run* b) { return a->order < b->order; });
    for (const Run* run : out) writeRun(*run);
    std::erase_if(runs_, [&due](const auto& entry) { return due(entry.second); });
}

void EventLog::writeSettled() {
    const qint64 now = clock_().toMSecsSinceEpoch();
    // A clock set back far also ends a run.
    writeRuns([now](const Run& run) {
        return now - run.lastMs >= kSettleMs || now < run.lastMs - kSettleMs;
    });
    if (runs_.empty()) return;
    qint64 next = kSettleMs;
    for (const auto& [key, run] : runs_)
        next = std::min(next, std::max<qint64>(1, run.lastMs + kSettleMs - now));
    settle_.start(int(next));
}

void EventLog::writeAllEdits() {
    writeRuns([](const Run&) { return true; });
    settle_.stop();
}

void EventLog::flush() {
    writeAllEdits();
    writer_->flush();
}

void EventLog::add(EventRecord record) {
    if (!record.time.isValid()) record.time = clock_();
    writer_->push(record.time.date(), record.toJsonLine());
    emit logged(record);
}

EventRecord EventLog::about(const Equipment& unit, const char* kind) const {
    EventRecord r;
    r.kind = QLatin1String(kind);
    r.unit = unitText(unit);
    r.address = addressText(unit);
    return r;
}

void EventLog::transfer(const Equipment& unit, const char* what, UnitTransfer::Result result,
                        const QString& detail) {
    const QString why = resultText(result);
    transfer(unit, what, why.isEmpty(),
             why.isEmpty() || detail.isEmpty() ? detail + why : detail + QStringLiteral(": ") + why);
}

void EventLog::transfer(const Equipment& unit, const char* what, bool ok, const QString& detail) {
    EventRecord r = about(unit, EventRecord::kTransfer);
    r.what = QLatin1String(what);
    r.ok = ok;
    r.detail = detail;
    add(std::move(r));
}

void EventLog::connectFailed(const Equipment& unit, UnitTransfer::Result result) {
    EventRecord r = about(unit, EventRecord::kConnect);
    r.ok = false;
    r.detail = resultText(result);
    add(std::move(r));
}

void EventLog::recall(const Equipment& unit, int slot, bool ok, const QString& name) {
    EventRecord r = about(unit, EventRecord::kRecall);
    r.ok = ok;
    r.detail = name.isEmpty() ? QString::number(slot + 1)
                              : QStringLiteral("%1 %2").arg(slot + 1).arg(name);
    add(std::move(r));
}

void EventLog::alarm(const Equipment& unit, const QString& alarm, bool raised,
                     const QString& detail) {
    EventRecord r = about(unit, raised ? EventRecord::kAlarm : EventRecord::kAlarmCleared);
    r.setting = alarm;
    r.detail = detail;
    add(std::move(r));
}

QString EventLog::unitText(const Equipment& unit) {
    return QString::fromStdString(GroupControl::unitName(unit) + " (" + unit.modelName() + ")");
}

QString EventLog::addressText(const Equipment& unit) {
    return QString::fromStdString(unit.hasFlag(linkflag::kSerial) ? unit.portName()
                                                                   : unit.addressText());
}

QString EventLog::originText(const ParamEdit::Origin& origin, const ClientNames& clientNames) {
    using Kind = ParamEdit::Origin::Kind;
    switch (origin.kind) {
        case Kind::Editor:
            return QStringLiteral("desktop");
        case Kind::Undo:
            return QStringLiteral("undo");
        case Kind::Redo:
            return QStringLiteral("redo");
        case Kind::Switch:
            return QStringLiteral("ab");
        case Kind::Import:
            return QStringLiteral("import");
        case Kind::Remote: {
            const QString name = clientNames ? clientNames(origin.client) : QString();
            return QStringLiteral("client:") +
                   (name.isEmpty() ? QStringLiteral("#%1").arg(origin.client) : name);
        }
        case Kind::Group:
            return QStringLiteral("group:") + QString::fromStdString(origin.group);
        case Kind::Osc:
            return QStringLiteral("osc:") + QString::fromStdString(origin.peer);
        default:  // a kind added later: still logged, by its number
            return QStringLiteral("other:%1").arg(int(origin.kind));
    }
}

QString EventLog::resultText(UnitTransfer::Result result) {
    using Result = UnitTransfer::Result;
    switch (result) {
        case Result::Success:
            return {};
        case Result::PortFailed:
            return QStringLiteral("port-failed");
        case Result::HandshakeTimeout:
            return QStringLiteral("no-answer");
        case Result::ReadFailed:
            return QStringLiteral("read-failed");
        case Result::DownloadIncomplete:
            return QStringLiteral("not-proven");
        case Result::Cancelled:
            return QStringLiteral("cancelled");
    }
    return QStringLiteral("failed");
}

}  // namespace qel
