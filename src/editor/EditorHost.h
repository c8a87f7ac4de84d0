// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "link/Equipment.h"

namespace qel {

class EventLog;
class ModeFileStore;

// What an editor needs from the program around it, handed in at construction: the main
// window in the program, a test host in the tests. GUI thread only.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    // Where the unit's link sends and looks for its traffic.
    virtual LinkSettings linkSettings() = 0;
    // The PC mode files of every model.
    virtual ModeFileStore& modeFiles() = 0;
    // The program's "QelConfig.ini" (where the folders last used for files are kept).
    virtual QString configPath() const = 0;
    // How long a transfer window stays once its transfer has ended, in ms.
    virtual uint32_t progressPauseMs() const = 0;
    // Shows text in a pane of the status bar.
    virtual void showPaneText(int pane, const QString& text) = 0;
    // A unit's state changed: the unit list shows it again.
    virtual void unitListChanged() = 0;
    // Runs step under the busy guard: the program does not close before it has ended. The step
    // runs on the GUI thread and may wait on workers (runBusy) and windows of its own.
    virtual void runGuarded(const std::function<void()>& step) = 0;
    // The program's event log, told of the editor's transfers; none: nothing is logged.
    virtual EventLog* events() { return nullptr; }
};

}  // namespace qel
