// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "device/UnitJob.h"
#include "device/UnitSession.h"

namespace qel {

// The sessions of the connected units, kept beside the unit list by the program (the window
// program's application, serve's host), and the connections it makes for remote clients.
// GUI thread only.
class UnitSessions : public QObject {
    Q_OBJECT
public:
    explicit UnitSessions(SessionOptions options = SessionOptions(), QObject* parent = nullptr)
        : QObject(parent), options_(std::move(options)) {}
    ~UnitSessions() override;

    // The words a session's history gives its steps (none: no words).
    void setLabeller(EditHistory::Labeller labeller) { labeller_ = std::move(labeller); }

    // The unit's session; null while it is not connected.
    UnitSession* of(const Equipment& unit) const;
    // A session for a unit whose settings were just read; one it had before is let go first.
    UnitSession& open(std::shared_ptr<Equipment> unit, bool forClients = false);
    // Lets the unit's session go (its link is the caller's to stop).
    void close(const Equipment& unit);
    std::vector<UnitSession*> all() const;

    // Connects the unit and reads it in a worker, then opens its session for the clients.
    // Nothing when it has a session or connects already; false without link settings.
    bool connectForClients(std::shared_ptr<Equipment> unit);
    bool connecting(const Equipment& unit) const { return jobs_.contains(&unit); }
    // How far the connection and read have come, 0..100; none while none runs.
    std::optional<int> connectProgress(const Equipment& unit) const;
    std::vector<const Equipment*> connectingUnits() const;
    // Why the last connection made for the clients failed; none when it did not.
    std::optional<UnitTransfer::Result> connectFailure(const Equipment& unit) const;
    // Lets a session made for the clients go with the unit's disconnect notice (a short
    // wait on the caller's thread while the link stops).
    void letGo(const Equipment& unit);

signals:
    void opened(UnitSession* session);
    // Emitted before the session goes.
    void closing(UnitSession* session);
    // A connection for the clients came further (connectProgress()).
    void connectProgressed(const Equipment* unit);
    // A connection for the clients ended without a session.
    void connectFailed(const Equipment* unit, UnitTransfer::Result result);

private:
    SessionOptions options_;
    EditHistory::Labeller labeller_;
    std::map<const Equipment*, std::unique_ptr<UnitSession>> sessions_;
    std::map<const Equipment*, std::unique_ptr<UnitJob>> jobs_;
    std::map<const Equipment*, UnitTransfer::Result> failures_;
};

}  // namespace qel
