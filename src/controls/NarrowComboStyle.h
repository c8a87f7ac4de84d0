// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QProxyStyle>

namespace qel {

// The application's style with a narrower drop-down button in drop-down lists, so that a
// 64-pixel list shows "1000 ms" whole. One instance serves every such list (a style sheet per
// list would give each its own style object, some 40 kB apiece). GUI thread only.
class NarrowComboStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int kTextLeft = 4, kButtonWidth = 16;

    // Made at first use, deleted with the application.
    static NarrowComboStyle* instance();

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override;

private:
    explicit NarrowComboStyle(QStyle* base);
};

}  // namespace qel
