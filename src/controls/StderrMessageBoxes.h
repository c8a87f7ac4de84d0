// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <functional>

#include "controls/MessageBoxes.h"

namespace qel {

// Message boxes for runs with nobody to answer them (the screenshot mode): each box's caption
// and text go to standard error, questions get Cancel (No when there is no Cancel), and the
// owner hears of it, so that it can end the run. GUI thread only.
class StderrMessageBoxes : public MessageBoxes {
public:
    explicit StderrMessageBoxes(std::function<void()> onShown = {});

    MsgAnswer show(QWidget* parent, const MessageRequest& request) override;
    // How many boxes came.
    int count() const { return count_; }

private:
    std::function<void()> onShown_;
    int count_ = 0;
};

}  // namespace qel
