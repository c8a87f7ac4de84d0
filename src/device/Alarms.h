// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "device/AlarmSettings.h"
#include "device/MeterPoller.h"
#include "device/UnitSession.h"

namespace qel {

class EventLog;
class UnitSessions;

// One alarm while it lasts.
struct Alarm {
    enum class Kind { Link, Clip, Silence };
    quint64 number = 0;  // this one, among all raised since the program started
    Kind kind = Kind::Link;
    const Equipment* unit = nullptr;  // valid while the alarm is listed
    QString unitText;                 // "Stage-L (QD408)"
    QString channel;                  // clip, silence: "in:A", "out:3"; link: empty
    QString detail;                   // link: "not-answering" or "lost"
    QDateTime since;
    bool acknowledged = false;

    // "link", "clip", "silence"
    static QString kindText(Kind kind);
    QString kindText() const { return kindText(kind); }
    // What the event log names it: "link", "clip:out:3", "silence:in:A".
    QString name() const;
};

// The alarms of the connected units, raised and cleared as AlarmSettings say: it watches the
// sessions' states and, while clip or silence is on, reads every connected unit's meters at
// a low rate (one reading for all watchers of a unit). A meter alarm clears once its
// condition has been gone for kClearMs; a link alarm as soon as the unit answers again. Each
// change is logged and told by signal (for the window, the hub and OSC). An alarm that
// someone acknowledged stays listed until it clears, but no longer counts as new. GUI thread
// only.
class Alarms : public QObject {
    Q_OBJECT
public:
    static constexpr int kClearMs = 3000;
    static constexpr int kLinkLookMs = 250;  // how often states are looked at without meters
    static constexpr uint32_t kHeardMs = 1000;  // meters of a unit silent this long are unknown

    explicit Alarms(UnitSessions& sessions, EventLog* log = nullptr, QObject* parent = nullptr);
    ~Alarms() override;

    // Takes settings that passed their check(); false (and nothing changes) for others.
    bool setSettings(const AlarmSettings& settings);
    const AlarmSettings& settings() const { return settings_; }
    // The local time the silence hours are read on (tests set it).
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // Listed alarms, oldest first.
    const std::vector<Alarm>& active() const { return active_; }
    int count() const { return int(active_.size()); }
    int newCount() const;  // not acknowledged
    std::vector<Alarm> of(const Equipment& unit) const;
    // False when no listed alarm has the number (cleared meanwhile) or it was acknowledged.
    bool acknowledge(quint64 number);
    int acknowledgeAll();

    // Looks at every unit now (the timer does so at the meter rate).
    void look();

signals:
    void raised(const qel::Alarm& alarm);
    void cleared(const qel::Alarm& alarm);
    void acknowledged(const qel::Alarm& alarm);
    // Any of the three above; the list changed.
    void changed();

private:
    struct Watched {
        UnitSession* session = nullptr;
        UnitSession::MeterWatch meters;
        std::optional<qint64> downSince;
        // By meter slot: since when the level was past the threshold, or back within it.
        std::array<std::optional<qint64>, MeterHold::kSlots> hot, hotGone, quiet, quietGone;
    };

    void watch(UnitSession* session);
    void forget(UnitSession* session);
    void updateMeterWatches();
    void lookAtLink(Watched& w, qint64 now);
    void lookAtMeters(Watched& w, qint64 now, bool silenceHours);
    // One condition of one slot: raises after `afterMs` of it, clears after kClearMs without.
    void follow(Watched& w, Alarm::Kind kind, int slot, bool condition, qint64 afterMs,
                qint64 now);
    void raise(const Equipment& unit, Alarm::Kind kind, const QString& channel,
               const QString& detail);
    void clear(const Equipment& unit, Alarm::Kind kind, const QString& channel,
               const QString& why = {});
    void clearWhere(const std::function<bool(const Alarm&)>& which, const QString& why);
    Alarm* find(const Equipment& unit, Alarm::Kind kind, const QString& channel);

    UnitSessions& sessions_;
    EventLog* log_;
    AlarmSettings settings_;
    std::function<QDateTime()> clock_;
    std::map<UnitSession*, Watched> watched_;
    std::vector<Alarm> active_;
    quint64 raisedCount_ = 0;
    QElapsedTimer elapsed_;
    QTimer timer_;
};

}  // namespace qel
