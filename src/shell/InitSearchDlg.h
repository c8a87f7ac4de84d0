// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "link/EquipmentSearch.h"
#include "ui/ProgressWindow.h"

namespace qel {

// The search window: runs one search on its worker thread, shows the serial phase's progress
// and the count of units found, then stays 800 ms and closes itself.
class CInitSearchDlg : public ProgressWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kFinalPauseMs = 800;

    CInitSearchDlg(EquipmentList& list, const SearchSettings& settings, QWidget* parent,
                   uint32_t finalPauseMs = kFinalPauseMs);
    // Shows the window modally and returns when the search is over.
    static void run(EquipmentList& list, const SearchSettings& settings, QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;

private:
    EquipmentList& list_;
    SearchSettings settings_;
    uint32_t finalPauseMs_;
    bool started_ = false;
};

}  // namespace qel
