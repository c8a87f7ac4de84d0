// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/ShowJobWindow.h"

#include <algorithm>

namespace qel {

ShowJobWindow::ShowJobWindow(const QString& title, std::vector<Step> steps)
    : ProgressWindow(title, tr("请等待 ..."), " ... ", Labels::Plain, nullptr),
      steps_(std::move(steps)) {
    setObjectName("Qel.ShowJobWindow");
    for (const Step& s : steps_) statuses_.push_back(s.status.toStdString());
    offerCancel();
}

bool ShowJobWindow::run(const QString& title, std::vector<Step> steps, QWidget* over) {
    if (steps.empty()) return true;
    ShowJobWindow window(title, std::move(steps));
    window.execBeside(over);
    return !window.cancelRequested();
}

void ShowJobWindow::showEvent(QShowEvent* event) {
    ProgressWindow::showEvent(event);
    if (started_) return;
    started_ = true;
    startWorker([this] { work(); });
}

void ShowJobWindow::work() {
    const int count = static_cast<int>(steps_.size());
    for (int i = 0; i < count && !cancel_.load(std::memory_order_acquire); ++i) {
        postProgress(i * 100 / count, statuses_[static_cast<size_t>(i)]);
        steps_[static_cast<size_t>(i)].work(
            [this, i, count](int position, const char*) {
                postProgress((i * 100 + position) / count, std::nullopt);
            },
            &cancel_);
    }
    postProgress(100, std::nullopt);
}

void ShowJobWindow::cancelJob() {
    cancel_.store(true, std::memory_order_release);
}

}  // namespace qel
