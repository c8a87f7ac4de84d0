// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "controls/QelSkinButton.h"

namespace qel {

// Toggle button: a click inverts checked, then callback (owner, id, new checked 0 or 1).
// Shows the alternate text while checked if that is switched on. Skin 138 by default
// (48 x 69: normal at y 0, pressed at y 23, checked at y 46); 137 is the other colour.
class CQelCheckBtn : public CQelSkinButton {
    Q_OBJECT

public:
    explicit CQelCheckBtn(QWidget* parent = nullptr);

    void setChecked(bool checked);
    bool isChecked() const { return checked_; }
    void setText(const QString& text);  // at most 31 characters
    QString text() const { return text_; }
    void setAlternateText(const QString& text);  // at most 31 characters
    QString alternateText() const { return alternateText_; }
    void setUseAlternateText(bool on);
    bool usesAlternateText() const { return useAlternate_; }
    QString shownText() const;

protected:
    int stateY() const override;
    void act() override;
    void paintText(QPainter& p) override;

private:
    bool checked_ = false;
    bool useAlternate_ = false;
    QString text_;
    QString alternateText_;
};

}  // namespace qel
