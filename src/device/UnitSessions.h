// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <vector>

#include "device/UnitSession.h"

namespace qel {

// The sessions of the connected units, kept beside the unit list by the program (the window
// program's application, serve's host). GUI thread only.
class UnitSessions : public QObject {
    Q_OBJECT
public:
    explicit UnitSessions(MeterPoller::Timing meterTiming = MeterPoller::Timing{},
                          QObject* parent = nullptr)
        : QObject(parent), meterTiming_(meterTiming) {}
    ~UnitSessions() override;

    // The words a session's history gives its steps (none: no words).
    void setLabeller(EditHistory::Labeller labeller) { labeller_ = std::move(labeller); }

    // The unit's session; null while it is not connected.
    UnitSession* of(const Equipment& unit) const;
    // A session for a unit whose settings were just read; one it had before is let go first.
    UnitSession& open(std::shared_ptr<Equipment> unit);
    // Lets the unit's session go (its link is the caller's to stop).
    void close(const Equipment& unit);
    std::vector<UnitSession*> all() const;

signals:
    void opened(UnitSession* session);
    // Emitted before the session goes.
    void closing(UnitSession* session);

private:
    MeterPoller::Timing meterTiming_;
    EditHistory::Labeller labeller_;
    std::map<const Equipment*, std::unique_ptr<UnitSession>> sessions_;
};

}  // namespace qel
