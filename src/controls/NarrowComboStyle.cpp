// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/NarrowComboStyle.h"

#include <QApplication>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>

namespace qel {

NarrowComboStyle::NarrowComboStyle(QStyle* base) : QProxyStyle(base) {}

NarrowComboStyle* NarrowComboStyle::instance() {
    static QPointer<NarrowComboStyle> style;
    if (!style) {
        style = new NarrowComboStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style;
}

QRect NarrowComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                       SubControl part, const QWidget* widget) const {
    QRect r = QProxyStyle::subControlRect(control, option, part, widget);
    if (control != CC_ComboBox) return r;
    const QRect whole = option->rect;
    if (part == SC_ComboBoxEditField) {
        r.setLeft(whole.left() + kTextLeft);
        r.setRight(whole.right() - kButtonWidth - 1);
    } else if (part == SC_ComboBoxArrow) {
        r.setLeft(whole.right() - kButtonWidth);
        r.setRight(whole.right() - 1);
    }
    return r;
}

}  // namespace qel
