// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/FrameRemoteUnits.h"

#include <algorithm>

#include "editor/QelEquipmentDlg.h"
#include "link/EquipmentList.h"
#include "shell/MainFrame.h"
#include "shell/QuellmarApp.h"
#include "shell/ShowJobWindow.h"
#include "ui/QelConnectDlg.h"

namespace qel {

std::vector<std::shared_ptr<Equipment>> FrameRemoteUnits::units() const {
    return app_.equipment().snapshot();
}

ParamEdit* FrameRemoteUnits::editOf(const Equipment& unit) {
    CQelEquipmentDlg* editor = frame_.editorOf(unit);
    if (!editor || !unit.editorOpen() || !unit.hasFlag(linkflag::kParamsRead)) return nullptr;
    // An editor opened after a client began to watch the unit's meters runs them too.
    editor->meters().setWatched(watched_.count(&unit) > 0);
    return &editor->edit();
}

bool FrameRemoteUnits::busy(const Equipment& unit) const {
    return CQelConnectDlg::running(&unit) != nullptr || ShowJobWindow::busyWith(unit);
}

void FrameRemoteUnits::watchMeters(const Equipment& unit, bool watched) {
    if (watched)
        watched_.insert(&unit);
    else
        watched_.erase(&unit);
    if (CQelEquipmentDlg* editor = frame_.editorOf(unit)) editor->meters().setWatched(watched);
}

std::optional<RemoteUnits::Meters> FrameRemoteUnits::meters(const Equipment& unit) const {
    CQelEquipmentDlg* editor = frame_.editorOf(unit);
    if (!editor || !unit.editorOpen()) return std::nullopt;
    const auto display = editor->meters().display();
    Meters m{};
    std::copy(display.begin(), display.end(), m.begin());
    return m;
}

}  // namespace qel
