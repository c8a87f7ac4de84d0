// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "editor/EqPage.h"

namespace qel {

// Page 4: the 15-point equaliser of one input channel (see EqPage).
class CPanelEqi : public EqPage {
    Q_OBJECT
public:
    static constexpr int kPoints = 15;
    // Each point's frequency after a reset, point 1 first.
    static constexpr float kResetHz[kPoints] = {25.4f, 40.5f, 62.8f, 100,  159,  254,  405,  628,
                                                1000,  1593,  2538,  4044, 6270, 9989, 15916};

    CPanelEqi(ParamEdit& edit, QWidget* parent);
};

}  // namespace qel
