// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QWidget>

namespace qel {

// DrawText format bits the labels are created with (same values as the classic API).
namespace dt {
inline constexpr unsigned kLeft = 0x0000;
inline constexpr unsigned kCenter = 0x0001;
inline constexpr unsigned kRight = 0x0002;
inline constexpr unsigned kVCenter = 0x0004;  // with kSingleLine only
inline constexpr unsigned kBottom = 0x0008;   // with kSingleLine only
inline constexpr unsigned kWordBreak = 0x0010;
inline constexpr unsigned kSingleLine = 0x0020;
inline constexpr unsigned kExpandTabs = 0x0040;
inline constexpr unsigned kNoClip = 0x0100;
inline constexpr unsigned kNoPrefix = 0x0800;
}  // namespace dt

// Qt text flags (alignment and text options) that draw like the given DrawText format.
int qtTextFlags(unsigned drawTextFormat);

// Plain label: fills its client with RGB 238,238,238 and draws a black text with the format
// given at creation. No input.
class CQelStatic : public QWidget {
    Q_OBJECT

public:
    explicit CQelStatic(const QString& text = {}, unsigned drawTextFormat = dt::kLeft,
                        QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return text_; }
    void setFormat(unsigned drawTextFormat);
    unsigned format() const { return format_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    unsigned format_;
};

}  // namespace qel
