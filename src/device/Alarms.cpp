// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/Alarms.h"

#include <algorithm>

#include "device/ChannelKey.h"
#include "device/EventLog.h"
#include "device/Models.h"
#include "device/UnitSessions.h"
#include "link/Equipment.h"
#include "platform/Clock.h"

namespace qel {

namespace {

constexpr int kInputSlots = 4;  // meter slots 0..3 are inputs A..D, 4..11 outputs 1..8

QString slotChannel(int slot) {
    const cmd::ChannelId c = slot < kInputSlots ? cmd::inputChannel(slot + 1)
                                                : cmd::outputChannel(slot - kInputSlots + 1);
    return QString::fromStdString(channelKeyOf(c));
}

bool slotPresent(uint32_t model, int slot) {
    return slot < kInputSlots ? slot < inputCount(model) : slot - kInputSlots < outputCount(model);
}

qint64 msOf(double seconds) { return qint64(seconds * 1000.0 + 0.5); }

}  // namespace

QString Alarm::kindText(Kind kind) {
    switch (kind) {
        case Kind::Link:
            return QStringLiteral("link");
        case Kind::Clip:
            return QStringLiteral("clip");
        case Kind::Silence:
            return QStringLiteral("silence");
    }
    return {};
}

QString Alarm::name() const {
    return channel.isEmpty() ? kindText() : kindText() + QLatin1Char(':') + channel;
}

Alarms::Alarms(UnitSessions& sessions, EventLog* log, QObject* parent)
    : QObject(parent),
      sessions_(sessions),
      log_(log),
      clock_([] { return QDateTime::currentDateTime(); }) {
    elapsed_.start();
    for (UnitSession* s : sessions_.all()) watch(s);
    connect(&sessions_, &UnitSessions::opened, this, &Alarms::watch);
    connect(&sessions_, &UnitSessions::closing, this, &Alarms::forget);
    connect(&timer_, &QTimer::timeout, this, &Alarms::look);
    updateMeterWatches();
}

Alarms::~Alarms() = default;

bool Alarms::setSettings(const AlarmSettings& settings) {
    if (settings.check()) return false;
    settings_ = settings;
    // What was switched off clears at once.
    const QString off = QStringLiteral("switched off");
    clearWhere(
        [this](const Alarm& a) {
            return (a.kind == Alarm::Kind::Link && !settings_.link.on) ||
                   (a.kind == Alarm::Kind::Clip && !settings_.clip.on) ||
                   (a.kind == Alarm::Kind::Silence && !settings_.silence.on);
        },
        off);
    updateMeterWatches();
    look();
    return true;
}

void Alarms::watch(UnitSession* session) {
    Watched& w = watched_[session];
    w = Watched{};
    w.session = session;
    connect(session, &UnitSession::unitChanged, this, [this, session] {
        const auto it = watched_.find(session);
        if (it != watched_.end()) lookAtLink(it->second, elapsed_.elapsed());
    });
    updateMeterWatches();
}

void Alarms::forget(UnitSession* session) {
    disconnect(session, nullptr, this, nullptr);
    const Equipment* unit = &session->unit();
    watched_.erase(session);
    clearWhere([unit](const Alarm& a) { return a.unit == unit; }, QStringLiteral("disconnected"));
}

void Alarms::updateMeterWatches() {
    const bool meters = settings_.meterAlarms();
    for (auto& [session, w] : watched_) {
        if (meters && !w.meters)
            w.meters = session->watchMeters(settings_.meterRate);
        else if (!meters)
            w.meters.reset();
    }
    const int period = meters ? 1000 / settings_.meterRate : kLinkLookMs;
    if (!settings_.link.on && !meters)
        timer_.stop();
    else if (!timer_.isActive() || timer_.interval() != period)
        timer_.start(period);
}

void Alarms::look() {
    const qint64 now = elapsed_.elapsed();
    const bool hours = settings_.silence.on && settings_.silenceHours(clock_().time());
    if (settings_.silence.on && !hours)
        clearWhere([](const Alarm& a) { return a.kind == Alarm::Kind::Silence; },
                   QStringLiteral("outside the hours"));
    for (auto& [session, w] : watched_) {
        lookAtLink(w, now);
        lookAtMeters(w, now, hours);
    }
}

void Alarms::lookAtLink(Watched& w, qint64 now) {
    const Equipment& unit = w.session->unit();
    const auto state = unit.state();
    if (state == Equipment::State::Online) {
        w.downSince.reset();
        return clear(unit, Alarm::Kind::Link, {});
    }
    if (!w.downSince) w.downSince = now;
    if (!settings_.link.on || now - *w.downSince < msOf(settings_.link.seconds)) return;
    const QString detail = state == Equipment::State::NotAnswering ? QStringLiteral("not-answering")
                                                                   : QStringLiteral("lost");
    if (Alarm* a = find(unit, Alarm::Kind::Link, {}); a && a->detail != detail) {
        a->detail = detail;  // not answering, then lost: the same alarm
        emit changed();
    }
    raise(unit, Alarm::Kind::Link, {}, detail);
}

void Alarms::lookAtMeters(Watched& w, qint64 now, bool silenceHours) {
    const Equipment& unit = w.session->unit();
    // Levels are known only while the unit answers (a reading it left unanswered reads as
    // nothing, before the unit counts as not answering) and no transfer holds its meters.
    const bool known = w.meters && unit.state() == Equipment::State::Online &&
                       tickMs() - unit.lastHeardMs() < kHeardMs && !w.session->busy() &&
                       !unit.hasFlag(linkflag::kMeterPaused);
    if (!known) {
        for (auto* timers : {&w.hot, &w.quiet}) timers->fill(std::nullopt);
        return;
    }
    const MeterPoller::Display levels = w.session->meters().display();
    const uint32_t model = unit.modelCode();
    for (int slot = 0; slot < MeterHold::kSlots; ++slot) {
        if (!slotPresent(model, slot)) continue;
        if (settings_.clip.on)
            follow(w, Alarm::Kind::Clip, slot, levels[size_t(slot)] >= settings_.clipSegment(),
                   msOf(settings_.clip.seconds), now);
        if (settings_.silence.on && silenceHours && slot < kInputSlots)
            follow(w, Alarm::Kind::Silence, slot,
                   levels[size_t(slot)] <= settings_.silenceSegment(),
                   msOf(settings_.silence.seconds), now);
    }
}

void Alarms::follow(Watched& w, Alarm::Kind kind, int slot, bool condition, qint64 afterMs,
                    qint64 now) {
    const bool clip = kind == Alarm::Kind::Clip;
    auto& since = (clip ? w.hot : w.quiet)[size_t(slot)];
    auto& goneSince = (clip ? w.hotGone : w.quietGone)[size_t(slot)];
    const Equipment& unit = w.session->unit();
    const QString channel = slotChannel(slot);
    if (condition) {
        goneSince.reset();
        if (!since) since = now;
        if (now - *since >= afterMs) raise(unit, kind, channel, {});
        return;
    }
    since.reset();
    if (!find(unit, kind, channel)) return;
    if (!goneSince) goneSince = now;
    if (now - *goneSince >= kClearMs) {
        goneSince.reset();
        clear(unit, kind, channel);
    }
}

Alarm* Alarms::find(const Equipment& unit, Alarm::Kind kind, const QString& channel) {
    const auto it = std::find_if(active_.begin(), active_.end(), [&](const Alarm& a) {
        return a.unit == &unit && a.kind == kind && a.channel == channel;
    });
    return it == active_.end() ? nullptr : &*it;
}

void Alarms::raise(const Equipment& unit, Alarm::Kind kind, const QString& channel,
                   const QString& detail) {
    if (find(unit, kind, channel)) return;
    Alarm a;
    a.number = ++raisedCount_;
    a.kind = kind;
    a.unit = &unit;
    a.unitText = EventLog::unitText(unit);
    a.channel = channel;
    a.detail = detail;
    a.since = clock_();
    active_.push_back(a);
    if (log_) log_->alarm(unit, a.name(), true, detail);
    emit raised(a);
    emit changed();
}

void Alarms::clear(const Equipment& unit, Alarm::Kind kind, const QString& channel,
                   const QString& why) {
    const Alarm* a = find(unit, kind, channel);
    if (!a) return;
    const quint64 number = a->number;
    clearWhere([number](const Alarm& x) { return x.number == number; }, why);
}

void Alarms::clearWhere(const std::function<bool(const Alarm&)>& which, const QString& why) {
    std::vector<Alarm> gone;
    std::erase_if(active_, [&](const Alarm& a) {
        if (!which(a)) return false;
        gone.push_back(a);
        return true;
    });
    for (const Alarm& a : gone) {
        if (log_) log_->alarm(*a.unit, a.name(), false, why);
        emit cleared(a);
    }
    if (!gone.empty()) emit changed();
}

int Alarms::newCount() const {
    return int(std::count_if(active_.begin(), active_.end(),
                             [](const Alarm& a) { return !a.acknowledged; }));
}

std::vector<Alarm> Alarms::of(const Equipment& unit) const {
    std::vector<Alarm> out;
    for (const Alarm& a : active_)
        if (a.unit == &unit) out.push_back(a);
    return out;
}

bool Alarms::acknowledge(quint64 number) {
    for (Alarm& a : active_)
        if (a.number == number && !a.acknowledged) {
            a.acknowledged = true;
            emit acknowledged(a);
            emit changed();
            return true;
        }
    return false;
}

int Alarms::acknowledgeAll() {
    int n = 0;
    for (Alarm& a : active_)
        if (!a.acknowledged) {
            a.acknowledged = true;
            ++n;
            emit acknowledged(a);
        }
    if (n) emit changed();
    return n;
}

}  // namespace qel
