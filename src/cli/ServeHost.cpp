// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ServeHost.h"

namespace qel::cli {

ServeHost::ServeHost(std::vector<std::shared_ptr<Equipment>> units)
    : SessionUnits(ServeSessions::sessions), units_(std::move(units)) {
    for (const auto& unit : units_) ServeSessions::sessions.open(unit);
}

}  // namespace qel::cli
