// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QComboBox>

#include "controls/QelSkinButton.h"

namespace qel {

// Drop-down list in the control font; a selection made by the user -> callback (owner, id,
// index of the new selection). Selections set by the program do not call back.
class CQelComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit CQelComboBox(QWidget* parent = nullptr);

    void setCallback(QObject* owner, int id, ControlCallback callback);
    QObject* owner() const { return owner_; }
    int id() const { return id_; }

private:
    void selected(int index);

    QObject* owner_ = nullptr;
    int id_ = 0;
    ControlCallback callback_;
};

}  // namespace qel
