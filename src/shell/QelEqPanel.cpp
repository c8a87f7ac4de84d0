// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/QelEqPanel.h"

#include "controls/QelTitle.h"
#include "shell/QelBarEq.h"

namespace qel {

namespace {
constexpr int kStripHeight = 24, kEquipmentTab = 1;
}

CQelEqPanelDlg::CQelEqPanelDlg(EquipmentList& list, QWidget* parent) : QWidget(parent) {
    setObjectName("Qel.CQelEqPanel.Dlg");
    title_ = new CQelTitle(this);
    title_->addTab(tr("设备"), CQelTitle::kPlain, kEquipmentTab);
    title_->setCallback(this, [this](QObject*, int tabId, int, int) { selectPage(tabId); });
    page1_ = new CQelBarEq(list, this);
    page2_ = new CQelBarMode(this);
    page2_->hide();
    page1_->setGeometry(0, 26, width(), std::max(0, height() - 26));
}

void CQelEqPanelDlg::selectPage(int page) {
    if (page == current_ || (page != 1 && page != 2)) return;
    (current_ == 1 ? static_cast<QWidget*>(page1_) : page2_)->hide();
    (page == 1 ? static_cast<QWidget*>(page1_) : page2_)->show();
    current_ = page;
}

void CQelEqPanelDlg::resizeEvent(QResizeEvent*) {
    title_->setGeometry(0, 0, width(), kStripHeight);
    page1_->setGeometry(0, kStripHeight, width(), height());
    page2_->setGeometry(0, kStripHeight, width(), height());
}

CQelEqPanel::CQelEqPanel(EquipmentList& list, QWidget* parent)
    : CSizingControlBar(tr("Equipment Panel"), kControlId, parent) {
    setObjectName("Equipment Panel");
    setSizingStyle((sizingStyle() | DrawEdges | SizeChild) & ~EdgeMask);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    dialog_ = new CQelEqPanelDlg(list);
    dialog_->resize(180, 34);
    setChild(dialog_);
}

}  // namespace qel
