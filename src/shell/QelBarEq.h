// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QWidget>
#include <functional>

#include "link/EquipmentList.h"

namespace qel {

class CQelEqMgr;
class CQelButton;
class CQelStatic;

// Page 1 of the equipment panel: the label, the list of units and the search button.
class CQelBarEq : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSearchButtonId = 1010;

    CQelBarEq(EquipmentList& list, QWidget* parent = nullptr);

    CQelEqMgr* list() const { return list_; }
    CQelButton* searchButton() const { return search_; }
    void setSearchHandler(std::function<void()> handler) { onSearch_ = std::move(handler); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CQelStatic* label_;
    CQelEqMgr* list_;
    CQelButton* search_;
    std::function<void()> onSearch_;
};

// Page 2 of the equipment panel, kept empty.
class CQelBarMode : public QWidget {
    Q_OBJECT
public:
    explicit CQelBarMode(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qel
