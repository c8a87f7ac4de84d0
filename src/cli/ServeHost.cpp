// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ServeHost.h"

#include <algorithm>

#include "link/Equipment.h"

namespace qel::cli {

ServeHost::ServeHost(std::vector<std::shared_ptr<Equipment>> units) : units_(std::move(units)) {
    for (const auto& unit : units_)
        edits_[unit.get()] = std::make_unique<ParamEdit>(*unit, unit->image());
}

ServeHost::~ServeHost() { meters_.clear(); }

ParamEdit* ServeHost::editOf(const Equipment& unit) {
    const auto it = edits_.find(&unit);
    return it == edits_.end() || !unit.hasFlag(linkflag::kParamsRead) ? nullptr : it->second.get();
}

void ServeHost::watchMeters(const Equipment& unit, bool watched) {
    const auto it = std::find_if(units_.begin(), units_.end(),
                                 [&](const auto& u) { return u.get() == &unit; });
    if (it == units_.end()) return;
    if (!watched) {
        meters_.erase(&unit);
        return;
    }
    auto& poller = meters_[&unit];
    if (poller) return;
    poller = std::make_unique<MeterPoller>(**it, [] {});
    poller->setOnScreen(true);
    poller->start();
}

std::optional<RemoteUnits::Meters> ServeHost::meters(const Equipment& unit) const {
    const auto it = meters_.find(&unit);
    if (it == meters_.end()) return std::nullopt;
    const MeterPoller::Display d = it->second->display();
    Meters m{};
    std::copy(d.begin(), d.end(), m.begin());
    return m;
}

}  // namespace qel::cli
