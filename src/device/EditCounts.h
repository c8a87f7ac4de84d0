// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "device/ParamEdit.h"

namespace qel {

class Equipment;
class UnitSession;
class UnitSessions;

// How many edits each unit took, by who made them, since the program started: counted on
// every session's edit path, kept when a session closes (a counter never goes back while the
// unit is listed). GUI thread only.
class EditCounts : public QObject {
    Q_OBJECT
public:
    // Words an edit's origin, as the event log does ("desktop", "client:NAME", "group:NAME");
    // none: as the event log does without the clients' names.
    using OriginText = std::function<QString(const ParamEdit::Origin&)>;

    explicit EditCounts(QObject* parent = nullptr) : QObject(parent) {}
    void setOriginText(OriginText text) { originText_ = std::move(text); }
    // The sessions there are and those that come.
    void attach(UnitSessions& sessions);

    // The unit's counts by origin; empty when it took none.
    std::map<QString, quint64> of(const Equipment& unit) const;

private:
    struct Unit {
        std::weak_ptr<Equipment> unit;  // an entry of a unit that went is not another's
        std::map<QString, quint64> counts;
    };
    void watch(UnitSession* session);

    OriginText originText_;
    std::map<const Equipment*, Unit> units_;
    std::map<UnitSession*, ParamEdit::Subscription> listening_;
};

}  // namespace qel
