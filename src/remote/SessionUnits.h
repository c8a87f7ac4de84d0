// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <map>

#include "device/UnitSessions.h"
#include "remote/RemoteUnits.h"

namespace qel {

// What the hub reaches of the units through their sessions: the edit path of each connected
// unit and its meters, read while clients watch them. The program that holds the units says
// which they are. GUI thread only.
class SessionUnits : public RemoteUnits {
public:
    explicit SessionUnits(UnitSessions& sessions);
    ~SessionUnits() override;

    ParamEdit* editOf(const Equipment& unit) override;
    bool busy(const Equipment& unit) const override;
    void watchMeters(const Equipment& unit, int readingsPerSecond) override;
    std::optional<Meters> meters(const Equipment& unit) const override;

protected:
    UnitSessions& sessions_;

private:
    void watch(UnitSession& session);

    std::map<const Equipment*, int> rates_;  // what the clients ask, session or not
    std::map<const Equipment*, UnitSession::MeterWatch> watches_;
    QMetaObject::Connection opened_, closing_;
};

}  // namespace qel
