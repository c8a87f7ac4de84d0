// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "device/UnitTransfer.h"

namespace qel {

class Equipment;
class GroupControl;
class ParamEdit;

// What the remote hub needs from the program that holds the units: the window program and
// the headless server each implement it. GUI thread only.
class RemoteUnits {
public:
    using Meters = std::array<uint8_t, 12>;  // display levels, slots as the unit sends them

    virtual ~RemoteUnits() = default;

    // Told at once (not from within the change): a unit's session came or went, a transfer
    // took or left it, its link came back, or (replaced) its settings changed as a whole.
    using Changed = std::function<void(const Equipment& unit, bool replaced)>;
    void setChanged(Changed changed) { changed_ = std::move(changed); }
    // Told by whoever changes which units there are (a search, a unit added or removed);
    // what a unit shows of itself (its state, its name) comes through Changed.
    void setListChanged(std::function<void()> changed) { listChanged_ = std::move(changed); }
    void listChanged() const {
        if (listChanged_) listChanged_();
    }
    virtual std::vector<std::shared_ptr<Equipment>> units() const = 0;
    // The edit path of a unit whose settings were read, null for any other. It changes when
    // the unit's session comes or goes, which Changed tells.
    virtual ParamEdit* editOf(const Equipment& unit) = 0;
    // A transfer holds the unit: no edit may reach it meanwhile.
    virtual bool busy(const Equipment& unit) const = 0;
    // The unit's meters are read this many times a second for the clients; 0: no client
    // watches them.
    virtual void watchMeters(const Equipment& unit, int readingsPerSecond) = 0;
    virtual std::optional<Meters> meters(const Equipment& unit) const = 0;
    // The unit's last levels while anyone has its meters read (a client, an editor, the
    // alarms); none else.
    virtual std::optional<Meters> levels(const Equipment& unit) const { return meters(unit); }
    // Clients have the unit open (or no longer): one not connected is connected and read for
    // them, one connected for them alone is let go a while after the last has left it.
    virtual void want(const Equipment& unit, bool wanted) {
        (void)unit;
        (void)wanted;
    }
    // How far the connection made for the clients has come, 0..100; none while none runs.
    virtual std::optional<int> reading(const Equipment& unit) const {
        (void)unit;
        return std::nullopt;
    }
    // The unit's link was lost and is being taken up again by itself.
    virtual bool reconnecting(const Equipment& unit) const {
        (void)unit;
        return false;
    }
    // Why the last connection made for the clients failed; none when it did not.
    virtual std::optional<UnitTransfer::Result> readFailure(const Equipment& unit) const {
        (void)unit;
        return std::nullopt;
    }

    // The unit came back from a lost link with this many other settings than the program
    // holds, and nobody has chosen yet; none else.
    virtual std::optional<int> differs(const Equipment& unit) const {
        (void)unit;
        return std::nullopt;
    }
    // The choice: the unit's settings win, or the program's are written into the unit. False
    // when there is nothing to choose or the unit is busy.
    virtual bool settle(const Equipment& unit, bool unitWins) {
        (void)unit;
        (void)unitWins;
        return false;
    }

    // Recalls the unit's stored mode slot (0..19) and reads the unit again in a worker; the
    // read settings then replace the program's (Changed tells it, replaced). Started, and
    // done later gets Recalled, Refused (the unit did not take the slot up) or ReadFailed;
    // else nothing started: NotRead, or Busy (holder() names who holds the unit).
    enum class Recall { Started, NotRead, Busy, Recalled, Refused, ReadFailed };
    virtual Recall recallMode(const Equipment& unit, int slot, std::function<void(Recall)> done) {
        (void)unit;
        (void)slot;
        (void)done;
        return Recall::NotRead;
    }
    // Who holds the unit for a transfer, in the holder's words; empty when nobody does.
    virtual QString holder(const Equipment& unit) const {
        (void)unit;
        return {};
    }

    // The program's groups of channels across units, which the clients see and move; null:
    // none. Asked once, when the hub is made.
    virtual GroupControl* groups() { return nullptr; }

protected:
    void tellChanged(const Equipment& unit, bool replaced) const {
        if (changed_) changed_(unit, replaced);
    }

private:
    Changed changed_;
    std::function<void()> listChanged_;
};

}  // namespace qel
