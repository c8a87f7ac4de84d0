// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QPixmap>
#include <QWidget>

namespace qel {

// Channel caption: a skin plate with a bold centred text. Skin 145 by default (64 x 40: the
// 64-wide plate at y 0, the 32-wide one at y 20, chosen by the client width). No input.
class CQelTStatic : public QWidget {
    Q_OBJECT

public:
    explicit CQelTStatic(const QString& text = {}, QWidget* parent = nullptr);

    void setText(const QString& text);  // at most 31 characters
    QString text() const { return text_; }
    void setBitmapId(int resourceId);
    int bitmapId() const { return bitmapId_; }
    int sourceY() const { return width() == 32 ? 20 : 0; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    int bitmapId_;
    QPixmap bitmap_;
    bool loaded_ = false;
};

}  // namespace qel
