// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDeadlineTimer>
#include <QTimer>
#include <map>
#include <set>

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
    std::optional<Meters> levels(const Equipment& unit) const override;
    void want(const Equipment& unit, bool wanted) override;
    std::optional<int> reading(const Equipment& unit) const override;
    bool reconnecting(const Equipment& unit) const override;
    std::optional<int> differs(const Equipment& unit) const override;
    bool settle(const Equipment& unit, bool unitWins) override;
    std::optional<UnitTransfer::Result> readFailure(const Equipment& unit) const override;
    Recall recallMode(const Equipment& unit, int slot, std::function<void(Recall)> done) override;
    QString holder(const Equipment& unit) const override;

    // How long a unit connected for the clients alone is kept after the last has left it.
    void setLetGoMs(int ms) { letGoMs_ = ms; }
    static constexpr int kLetGoMs = 60000;

protected:
    UnitSessions& sessions_;

private:
    void watch(UnitSession& session);
    void changed(const Equipment* unit, bool replaced);
    // Lets go of the units connected for the clients alone whose time is up.
    void letGoUnwanted();
    // A unit connected for the clients alone that none wants is let go after a while.
    void mayLetGo(const Equipment& unit);

    std::map<const Equipment*, int> rates_;  // what the clients ask, session or not
    std::map<const Equipment*, UnitSession::MeterWatch> watches_;
    std::set<const Equipment*> wanted_;                    // some client has it open
    std::map<const Equipment*, QDeadlineTimer> unwanted_;  // let go once the time is up
    QTimer letGoTimer_;
    int letGoMs_ = kLetGoMs;
    QMetaObject::Connection opened_, closing_, failed_, progressed_;
};

}  // namespace qel
