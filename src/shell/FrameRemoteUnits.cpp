// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/FrameRemoteUnits.h"

#include "link/EquipmentList.h"
#include "shell/QuellmarApp.h"

namespace qel {

FrameRemoteUnits::FrameRemoteUnits(CQuellmarApp& app) : SessionUnits(app.sessions()), app_(app) {}

std::vector<std::shared_ptr<Equipment>> FrameRemoteUnits::units() const {
    return app_.equipment().snapshot();
}

GroupControl* FrameRemoteUnits::groups() {
    return &app_.groups();
}

}  // namespace qel
