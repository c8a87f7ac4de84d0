// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/SessionUnits.h"

#include <algorithm>

#include "device/DownloadVerify.h"
#include "device/ModeImage.h"
#include "link/Equipment.h"

namespace qel {

SessionUnits::SessionUnits(UnitSessions& sessions) : sessions_(sessions) {
    QObject::connect(&letGoTimer_, &QTimer::timeout, [this] { letGoUnwanted(); });
    // A session that comes while clients watch the unit is watched too; one that goes takes
    // its watch along.
    opened_ = QObject::connect(&sessions_, &UnitSessions::opened, [this](UnitSession* s) {
        watch(*s);
        mayLetGo(s->unit());  // its clients may have left while it was read
        // letGoTimer_ stands for this object: the connections end with it.
        const Equipment* unit = &s->unit();
        QObject* self = &letGoTimer_;
        QObject::connect(s, &UnitSession::busyChanged, self,
                         [this, unit] { changed(unit, false); });
        QObject::connect(s, &UnitSession::linkRestored, self,
                         [this, unit] { changed(unit, false); });
        QObject::connect(s, &UnitSession::settingsReplaced, self,
                         [this, unit] { changed(unit, true); });
        QObject::connect(s, &UnitSession::cameBackDifferent, self,
                         [this, unit] { changed(unit, false); });
        QObject::connect(s, &UnitSession::unitChanged, self,
                         [this, unit] { changed(unit, false); });
        changed(unit, false);
    });
    closing_ = QObject::connect(&sessions_, &UnitSessions::closing, [this](UnitSession* s) {
        watches_.erase(&s->unit());
        unwanted_.erase(&s->unit());
        changed(&s->unit(), false);
    });
    failed_ = QObject::connect(&sessions_, &UnitSessions::connectFailed,
                               [this](const Equipment* unit) { changed(unit, false); });
    progressed_ = QObject::connect(&sessions_, &UnitSessions::connectProgressed,
                                   [this](const Equipment* unit) { changed(unit, false); });
}

SessionUnits::~SessionUnits() {
    QObject::disconnect(opened_);
    QObject::disconnect(closing_);
    QObject::disconnect(failed_);
    QObject::disconnect(progressed_);
    watches_.clear();
    unwanted_.clear();
}

ParamEdit* SessionUnits::editOf(const Equipment& unit) {
    UnitSession* session = sessions_.of(unit);
    return session && unit.hasFlag(linkflag::kParamsRead) ? &session->edit() : nullptr;
}

bool SessionUnits::busy(const Equipment& unit) const {
    const UnitSession* session = sessions_.of(unit);
    return session && session->busy();
}

void SessionUnits::watchMeters(const Equipment& unit, int readingsPerSecond) {
    watches_.erase(&unit);
    if (readingsPerSecond <= 0) {
        rates_.erase(&unit);
        return;
    }
    rates_[&unit] = readingsPerSecond;
    if (UnitSession* session = sessions_.of(unit)) watch(*session);
}

void SessionUnits::watch(UnitSession& session) {
    const auto it = rates_.find(&session.unit());
    if (it != rates_.end()) watches_[&session.unit()] = session.watchMeters(it->second);
}

void SessionUnits::changed(const Equipment* unit, bool replaced) {
    // Told once the change is over: a closing session is gone by then.
    QTimer::singleShot(0, &letGoTimer_, [this, unit, replaced] {
        for (const auto& u : units())
            if (u.get() == unit) tellChanged(*u, replaced);
    });
}

void SessionUnits::want(const Equipment& unit, bool wanted) {
    if (wanted) {
        wanted_.insert(&unit);
        unwanted_.erase(&unit);
        if (sessions_.of(unit) || sessions_.connecting(unit)) return;
        for (const auto& u : units())
            if (u.get() == &unit) sessions_.connectForClients(u);
        return;
    }
    wanted_.erase(&unit);
    mayLetGo(unit);
}

void SessionUnits::mayLetGo(const Equipment& unit) {
    const UnitSession* session = sessions_.of(unit);
    if (!session || !session->forClients() || wanted_.contains(&unit)) return;
    unwanted_[&unit] = QDeadlineTimer(letGoMs_);
    if (!letGoTimer_.isActive()) letGoTimer_.start(std::min(letGoMs_, 1000));
}

void SessionUnits::letGoUnwanted() {
    std::vector<const Equipment*> due;
    for (const auto& [unit, deadline] : unwanted_)
        if (deadline.hasExpired()) due.push_back(unit);
    for (const Equipment* unit : due) {
        UnitSession* session = sessions_.of(*unit);
        if (session && session->busy()) {  // a transfer holds it: looked at again later
            unwanted_[unit] = QDeadlineTimer(letGoMs_);
            continue;
        }
        unwanted_.erase(unit);
        if (session && session->forClients() && !wanted_.contains(unit)) sessions_.letGo(*unit);
    }
    if (unwanted_.empty()) letGoTimer_.stop();
}

std::optional<int> SessionUnits::reading(const Equipment& unit) const {
    return sessions_.connectProgress(unit);
}

bool SessionUnits::reconnecting(const Equipment& unit) const {
    const UnitSession* session = sessions_.of(unit);
    return session &&
           (session->reconnecting() || session->unit().state() == Equipment::State::NotConnected);
}

std::optional<int> SessionUnits::differs(const Equipment& unit) const {
    const UnitSession* session = sessions_.of(unit);
    const ModeImage* read = session ? session->cameBackWith() : nullptr;
    if (!read) return std::nullopt;
    return int(DownloadVerify::compare(session->image()->record(), read->record(), unit.modelCode())
                   .size());
}

bool SessionUnits::settle(const Equipment& unit, bool unitWins) {
    UnitSession* session = sessions_.of(unit);
    if (!session || !session->cameBackWith() || session->busy()) return false;
    if (!unitWins) return session->writeSessionSettings();
    session->takeUnitsSettings();
    return true;
}

std::optional<UnitTransfer::Result> SessionUnits::readFailure(const Equipment& unit) const {
    return sessions_.of(unit) ? std::nullopt : sessions_.connectFailure(unit);
}

RemoteUnits::Recall SessionUnits::recallMode(const Equipment& unit, int slot,
                                             std::function<void(Recall)> done) {
    UnitSession* session = sessions_.of(unit);
    if (!session || !unit.hasFlag(linkflag::kParamsRead)) return Recall::NotRead;
    if (session->busy()) return Recall::Busy;
    using End = UnitSession::RecallEnd;
    const bool started = session->recallMode(slot, [done = std::move(done)](End end) {
        done(end == End::Recalled  ? Recall::Recalled
             : end == End::Refused ? Recall::Refused
                                   : Recall::ReadFailed);
    });
    return started ? Recall::Started : Recall::NotRead;
}

QString SessionUnits::holder(const Equipment& unit) const {
    const UnitSession* session = sessions_.of(unit);
    return session ? session->holder() : QString();
}

std::optional<RemoteUnits::Meters> SessionUnits::meters(const Equipment& unit) const {
    return watches_.count(&unit) ? levels(unit) : std::nullopt;
}

std::optional<RemoteUnits::Meters> SessionUnits::levels(const Equipment& unit) const {
    const UnitSession* session = sessions_.of(unit);
    if (!session || session->meterWatchers() == 0) return std::nullopt;
    const MeterPoller::Display d = session->meters().display();
    Meters m{};
    std::copy(d.begin(), d.end(), m.begin());
    return m;
}

}  // namespace qel
