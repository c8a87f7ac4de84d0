// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/UnitTransfer.h"
#include "ui/ProgressWindow.h"

namespace qel {

// One progress window over a show's steps, one per unit, run in order on its worker thread.
// It runs beside the other windows, which are held meanwhile, and offers "取消": the step in
// progress stops as soon as it can and the steps after it do not run.
class ShowJobWindow : public ProgressWindow {
    Q_OBJECT
public:
    // A step's work on the worker: its progress (0..100 of the step) and the cancel flag.
    using Work = std::function<void(const UnitTransfer::Progress& progress,
                                    const std::atomic<bool>* cancel)>;
    struct Step {
        const Equipment* unit = nullptr;
        QString status;  // the window's status line while it runs
        Work work;
    };

    ShowJobWindow(const QString& title, std::vector<Step> steps);

    // Runs the steps; false when they were cancelled. GUI thread.
    static bool run(const QString& title, std::vector<Step> steps, QWidget* over);

protected:
    void showEvent(QShowEvent* event) override;
    void cancelJob() override;

private:
    void work();

    std::vector<Step> steps_;
    std::vector<std::string> statuses_;  // the steps' status texts, for the worker
    std::atomic<bool> cancel_{false};    // set by the GUI thread, read by the worker
    bool started_ = false;
};

}  // namespace qel
