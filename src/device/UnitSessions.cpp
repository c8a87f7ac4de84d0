// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitSessions.h"

namespace qel {

UnitSessions::~UnitSessions() {
    jobs_.clear();  // cancelled and waited for
    // Sessions go before the units they stand on.
    while (!sessions_.empty()) close(*sessions_.begin()->first);
}

UnitSession* UnitSessions::of(const Equipment& unit) const {
    const auto it = sessions_.find(&unit);
    return it == sessions_.end() ? nullptr : it->second.get();
}

UnitSession& UnitSessions::open(std::shared_ptr<Equipment> unit, bool forClients) {
    close(*unit);
    const Equipment* key = unit.get();
    jobs_.erase(key);
    failures_.erase(key);
    auto& slot = sessions_[key];
    slot = std::make_unique<UnitSession>(std::move(unit), options_);
    slot->history().setLabeller(labeller_);
    slot->setForClients(forClients);
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

bool UnitSessions::connectForClients(std::shared_ptr<Equipment> unit) {
    if (!options_.link) return false;
    const Equipment* key = unit.get();
    if (of(*key) || connecting(*key)) return true;
    failures_.erase(key);
    jobs_[key] = std::make_unique<UnitJob>(
        unit, *options_.link, this,
        [](UnitTransfer& transfer) { return transfer.run(UnitTransfer::Mode::Connect); },
        [this, unit](UnitTransfer::Result result) {
            const auto job = std::move(jobs_[unit.get()]);
            jobs_.erase(unit.get());
            if (result != UnitTransfer::Result::Success) {
                failures_[unit.get()] = result;
                emit connectFailed(unit.get(), result);
                return;
            }
            open(unit, true);
        });
    connect(
        jobs_[key].get(), &UnitJob::progressed, this, [this, key] { emit connectProgressed(key); },
        Qt::QueuedConnection);
    return true;
}

std::optional<int> UnitSessions::connectProgress(const Equipment& unit) const {
    const auto it = jobs_.find(&unit);
    if (it == jobs_.end()) return std::nullopt;
    return it->second->progress();
}

std::vector<const Equipment*> UnitSessions::connectingUnits() const {
    std::vector<const Equipment*> out;
    for (const auto& [unit, job] : jobs_) out.push_back(unit);
    return out;
}

std::optional<UnitTransfer::Result> UnitSessions::connectFailure(const Equipment& unit) const {
    const auto it = failures_.find(&unit);
    if (it == failures_.end()) return std::nullopt;
    return it->second;
}

void UnitSessions::letGo(const Equipment& unit) {
    UnitSession* session = of(unit);
    if (!session) return;
    const std::shared_ptr<Equipment> held = session->sharedUnit();
    close(unit);
    UnitTransfer::disconnect(*held);
}

}  // namespace qel
