// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "device/MeterPoller.h"
#include "device/ParamEdit.h"
#include "remote/RemoteUnits.h"

namespace qel::cli {

// The units `serve` holds for the remote hub: each connected and read, with an edit path of
// its own and a meter thread while a client watches it.
class ServeHost : public RemoteUnits {
public:
    explicit ServeHost(std::vector<std::shared_ptr<Equipment>> units);
    ~ServeHost() override;

    std::vector<std::shared_ptr<Equipment>> units() const override { return units_; }
    ParamEdit* editOf(const Equipment& unit) override;
    bool busy(const Equipment&) const override { return false; }
    void watchMeters(const Equipment& unit, bool watched) override;
    std::optional<Meters> meters(const Equipment& unit) const override;

private:
    std::vector<std::shared_ptr<Equipment>> units_;
    std::map<const Equipment*, std::unique_ptr<ParamEdit>> edits_;
    std::map<const Equipment*, std::unique_ptr<MeterPoller>> meters_;
};

}  // namespace qel::cli
