// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "shell/SizingControlBar.h"

namespace qel {

class CQelTitle;
class CQelBarEq;
class CQelBarMode;
class EquipmentList;

// Fills the equipment panel: a title strip with the "设备" tab over two pages.
class CQelEqPanelDlg : public QWidget {
    Q_OBJECT
public:
    CQelEqPanelDlg(EquipmentList& list, QWidget* parent = nullptr);

    CQelTitle* title() const { return title_; }
    CQelBarEq* equipmentPage() const { return page1_; }
    CQelBarMode* modePage() const { return page2_; }
    int currentPage() const { return current_; }
    void selectPage(int page);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CQelTitle* title_;
    CQelBarEq* page1_;
    CQelBarMode* page2_;
    int current_ = 1;
};

// The docking bar that holds the list of units, at the left or right of the main window.
class CQelEqPanel : public CSizingControlBar {
    Q_OBJECT
public:
    static constexpr int kControlId = 123;
    static constexpr const char* kProfileName = "qel.Panel";

    CQelEqPanel(EquipmentList& list, QWidget* parent = nullptr);
    CQelEqPanelDlg* dialog() const { return dialog_; }

private:
    CQelEqPanelDlg* dialog_;
};

}  // namespace qel
