// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelStatic.h"

#include <QPainter>

#include "controls/ControlStyle.h"

namespace qel {

int qtTextFlags(unsigned f) {
    int flags = (f & dt::kRight)    ? Qt::AlignRight
                : (f & dt::kCenter) ? Qt::AlignHCenter
                                    : Qt::AlignLeft;
    if (f & dt::kSingleLine) {
        flags |= Qt::TextSingleLine;
        flags |= (f & dt::kBottom)    ? Qt::AlignBottom
                 : (f & dt::kVCenter) ? Qt::AlignVCenter
                                      : Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
        if (f & dt::kWordBreak) flags |= Qt::TextWordWrap;
    }
    if (f & dt::kExpandTabs) flags |= Qt::TextExpandTabs;
    if (f & dt::kNoClip) flags |= Qt::TextDontClip;
    if (!(f & dt::kNoPrefix)) flags |= Qt::TextShowMnemonic;
    return flags;
}

CQelStatic::CQelStatic(const QString& text, unsigned drawTextFormat, QWidget* parent)
    : QWidget(parent), text_(text), format_(drawTextFormat) {
    setObjectName(QStringLiteral("Qel.CQelStatic"));
    setFont(controlFont(13));
}

void CQelStatic::setText(const QString& text) {
    text_ = text;
    update();
}

void CQelStatic::setFormat(unsigned drawTextFormat) {
    format_ = drawTextFormat;
    update();
}

void CQelStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(238, 238, 238));
    p.setPen(Qt::black);
    p.drawText(rect(), qtTextFlags(format_), text_);
}

}  // namespace qel
