// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/PanelEqi.h"

namespace qel {

CPanelEqi::CPanelEqi(ParamEdit& edit, QWidget* parent)
    : EqPage(edit, QStringLiteral("Qel.m_eq_ipanel"), cmd::Side::Input, kResetHz,
             QStringLiteral("+0.0 dB"), parent) {
    loadView();
}

}  // namespace qel
