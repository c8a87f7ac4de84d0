// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "controls/QelSkinButton.h"

namespace qel {

// Image-only button; its text is kept but not drawn. Click -> callback (owner, id,
// parameter). Skin 1010 by default (22 x 40: normal at y 0, pressed at y 20).
class CQelButton : public CQelSkinButton {
    Q_OBJECT

public:
    explicit CQelButton(QWidget* parent = nullptr);

    void setText(const QString& text);  // keeps at most 31 characters
    QString text() const { return text_; }
    void setParameter(int parameter) { parameter_ = parameter; }
    int parameter() const { return parameter_; }

protected:
    int stateY() const override { return isPressed() ? 20 : 0; }
    void act() override { report(parameter_); }
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QString text_;
    int parameter_ = 0;
};

}  // namespace qel
