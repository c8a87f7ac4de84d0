// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <memory>
#include <vector>

#include "device/UnitSessions.h"
#include "remote/SessionUnits.h"

namespace qel::cli {

// serve's sessions, made before the hub's view of them and let go after it.
struct ServeSessions {
    UnitSessions sessions;
};

// The units `serve` holds for the remote hub: each connected and read, with its session.
class ServeHost : private ServeSessions, public SessionUnits {
public:
    explicit ServeHost(std::vector<std::shared_ptr<Equipment>> units);

    std::vector<std::shared_ptr<Equipment>> units() const override { return units_; }

private:
    std::vector<std::shared_ptr<Equipment>> units_;
};

}  // namespace qel::cli
