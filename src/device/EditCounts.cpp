// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/EditCounts.h"

#include "device/EventLog.h"
#include "device/UnitSessions.h"

namespace qel {

void EditCounts::attach(UnitSessions& sessions) {
    for (UnitSession* s : sessions.all()) watch(s);
    connect(&sessions, &UnitSessions::opened, this, &EditCounts::watch);
    connect(&sessions, &UnitSessions::closing, this,
            [this](UnitSession* s) { listening_.erase(s); });
}

void EditCounts::watch(UnitSession* session) {
    const std::shared_ptr<Equipment> unit = session->sharedUnit();
    Unit& entry = units_[unit.get()];
    if (entry.unit.lock() != unit) entry = {unit, {}};
    listening_[session] = session->edit().listen(
        [this, key = unit.get()](const ParamEdit::Result& result) {
            if (result.changes.empty()) return;
            const ParamEdit::Origin& o = result.origin;
            ++units_[key].counts[originText_ ? originText_(o) : EventLog::originText(o, {})];
        });
}

std::map<QString, quint64> EditCounts::of(const Equipment& unit) const {
    const auto it = units_.find(&unit);
    return it == units_.end() || it->second.unit.expired() ? std::map<QString, quint64>{}
                                                           : it->second.counts;
}

}  // namespace qel
