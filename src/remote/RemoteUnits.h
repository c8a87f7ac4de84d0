// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <memory>
#include <vector>

namespace qel {

class Equipment;
class ParamEdit;

// What the remote hub needs from the program that holds the units: the window program and
// the headless server each implement it.
class RemoteUnits {
public:
    virtual ~RemoteUnits() = default;
    virtual std::vector<std::shared_ptr<Equipment>> units() const = 0;
    // The edit path of a unit whose settings were read, null for any other.
    virtual ParamEdit* editOf(const Equipment& unit) = 0;
    // A transfer holds the unit: no edit may reach it meanwhile.
    virtual bool busy(const Equipment& unit) const = 0;
};

}  // namespace qel
