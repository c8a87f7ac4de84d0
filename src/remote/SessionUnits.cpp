// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/SessionUnits.h"

#include <algorithm>

#include "link/Equipment.h"

namespace qel {

SessionUnits::SessionUnits(UnitSessions& sessions) : sessions_(sessions) {
    // A session that comes while clients watch the unit is watched too; one that goes takes
    // its watch along.
    opened_ =
        QObject::connect(&sessions_, &UnitSessions::opened, [this](UnitSession* s) { watch(*s); });
    closing_ = QObject::connect(&sessions_, &UnitSessions::closing,
                                [this](UnitSession* s) { watches_.erase(&s->unit()); });
}

SessionUnits::~SessionUnits() {
    QObject::disconnect(opened_);
    QObject::disconnect(closing_);
    watches_.clear();
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

std::optional<RemoteUnits::Meters> SessionUnits::meters(const Equipment& unit) const {
    const UnitSession* session = sessions_.of(unit);
    if (!session || !watches_.count(&unit)) return std::nullopt;
    const MeterPoller::Display d = session->meters().display();
    Meters m{};
    std::copy(d.begin(), d.end(), m.begin());
    return m;
}

}  // namespace qel
