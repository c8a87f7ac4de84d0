// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <memory>
#include <vector>

#include "device/GroupControl.h"
#include "device/UnitSessions.h"
#include "remote/SessionUnits.h"

namespace qel::cli {

// serve's sessions, made before the hub's view of them and let go after it.
struct ServeSessions {
    explicit ServeSessions(const LinkSettings& link);
    UnitSessions sessions;
};

// The units `serve` holds for the remote hub: each connected and read, with its session.
class ServeHost : private ServeSessions, public SessionUnits {
public:
    // A lost unit is taken up again; nobody sits here to choose, so when it comes back with
    // other settings, its own are kept.
    ServeHost(std::vector<std::shared_ptr<Equipment>> units, const LinkSettings& link);

    std::vector<std::shared_ptr<Equipment>> units() const override { return units_; }
    UnitSessions& sessions() { return ServeSessions::sessions; }
    // The groups of channels across the units, kept in the file loadGroups read; null while
    // none was loaded (the clients are offered no groups).
    GroupControl* groups() override { return groups_.path().isEmpty() ? nullptr : &groups_; }
    GroupControl::LoadResult loadGroups(const QString& path) { return groups_.load(path); }

private:
    std::vector<std::shared_ptr<Equipment>> units_;
    GroupControl groups_;  // goes before the sessions it reaches
};

}  // namespace qel::cli
