// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelComboBox.h"

#include "controls/ControlStyle.h"

namespace qel {

CQelComboBox::CQelComboBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("Qel.CQelComboBox"));
    setFont(controlFont(13));
    connect(this, &QComboBox::activated, this, &CQelComboBox::selected);
}

void CQelComboBox::setCallback(QObject* owner, int id, ControlCallback callback) {
    owner_ = owner;
    id_ = id;
    callback_ = std::move(callback);
}

void CQelComboBox::selected(int index) {
    if (callback_) callback_(owner_, id_, index);
}

}  // namespace qel
