// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <set>

#include "remote/RemoteUnits.h"

namespace qel {

class CMainFrame;
class CQuellmarApp;

// The window program's units for the remote hub: those of the equipment list, each edited
// through its open editor's edit path (so that the editor shows and can undo a remote edit)
// and measured by its editor's meter thread.
class FrameRemoteUnits : public RemoteUnits {
public:
    FrameRemoteUnits(CQuellmarApp& app, CMainFrame& frame) : app_(app), frame_(frame) {}

    std::vector<std::shared_ptr<Equipment>> units() const override;
    ParamEdit* editOf(const Equipment& unit) override;
    bool busy(const Equipment& unit) const override;
    void watchMeters(const Equipment& unit, bool watched) override;
    std::optional<Meters> meters(const Equipment& unit) const override;

private:
    CQuellmarApp& app_;
    CMainFrame& frame_;
    std::set<const Equipment*> watched_;
};

}  // namespace qel
