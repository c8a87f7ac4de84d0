// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "controls/QelSkinButton.h"

namespace qel {

// Push button with a centred black text; click -> callback (owner, id, parameter).
// Skin 151 by default (48 x 36: normal at y 0, pressed at y 18).
class CQelBtn : public CQelSkinButton {
    Q_OBJECT

public:
    explicit CQelBtn(QWidget* parent = nullptr);

    void setText(const QString& text);  // keeps at most 31 characters
    QString text() const { return text_; }
    void setParameter(int parameter) { parameter_ = parameter; }
    int parameter() const { return parameter_; }

protected:
    int stateY() const override { return isPressed() ? 18 : 0; }
    void act() override { report(parameter_); }
    void paintText(QPainter& p) override;

private:
    QString text_;
    int parameter_ = 0;
};

}  // namespace qel
