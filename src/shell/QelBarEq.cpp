// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/QelBarEq.h"

#include <QPainter>

#include "controls/QelButton.h"
#include "controls/QelStatic.h"
#include "shell/QelEqMgr.h"

namespace qel {

namespace {
const QColor kBarBackground(238, 238, 238);
}

CQelBarEq::CQelBarEq(EquipmentList& list, QWidget* parent) : QWidget(parent) {
    setObjectName("Qel.m_plane1");
    list_ = new CQelEqMgr(list, this);
    search_ = new CQelButton(this);
    search_->setText(tr("Reset"));
    search_->setCallback(this, kSearchButtonId, [this](QObject*, int, int) {
        if (onSearch_) onSearch_();
    });
    label_ = new CQelStatic(tr("搜索列表: "), dt::kLeft, this);
    label_->setGeometry(QRect(QPoint(12, 12), QPoint(131, 27)));
}

void CQelBarEq::resizeEvent(QResizeEvent*) {
    list_->setGeometry(4, 28, width() - 8, height() - 80);
    search_->setGeometry(12, height() - 49, 22, 20);
}

void CQelBarEq::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), kBarBackground);
}

CQelBarMode::CQelBarMode(QWidget* parent) : QWidget(parent) { setObjectName("Qel.m_plane2"); }

void CQelBarMode::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect().adjusted(0, 24, 0, 0), kBarBackground);
}

}  // namespace qel
