// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitSessions.h"

namespace qel {

UnitSessions::~UnitSessions() {
    // Sessions go before the units they stand on.
    while (!sessions_.empty()) close(*sessions_.begin()->first);
}

UnitSession* UnitSessions::of(const Equipment& unit) const {
    const auto it = sessions_.find(&unit);
    return it == sessions_.end() ? nullptr : it->second.get();
}

UnitSession& UnitSessions::open(std::shared_ptr<Equipment> unit) {
    close(*unit);
    const Equipment* key = unit.get();
    auto& slot = sessions_[key];
    slot = std::make_unique<UnitSession>(std::move(unit), meterTiming_);
    slot->history().setLabeller(labeller_);
    emit opened(slot.get());
    return *slot;
}

void UnitSessions::close(const Equipment& unit) {
    const auto it = sessions_.find(&unit);
    if (it == sessions_.end()) return;
    emit closing(it->second.get());
    auto session = std::move(it->second);
    sessions_.erase(it);
}

std::vector<UnitSession*> UnitSessions::all() const {
    std::vector<UnitSession*> out;
    for (const auto& [unit, session] : sessions_) out.push_back(session.get());
    return out;
}

}  // namespace qel
