// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "editor/EqPage.h"

namespace qel {

class CQelComboBox;
class CQelStatic;
class CQelText;

// Page 5: the 10-point equaliser and the high-pass and low-pass crossover filters of one
// output channel (see EqPage). The filter frequency boxes take "OFF" (any case) as well as
// numbers: high-pass code 0 and low-pass code 255 switch the filter off. A filter change
// reaches the linked outputs with its type and frequency only.
class CPanelEqo : public EqPage {
    Q_OBJECT
public:
    static constexpr int kPoints = 10;
    static constexpr float kResetHz[kPoints] = {100,  159,  254,  405,  628,
                                                1000, 1593, 2538, 4044, 6270};
    enum Filter { kHighPassFilter = 0, kLowPassFilter = 1 };

    CPanelEqo(ParamEdit& edit, QWidget* parent);

    CQelComboBox* typeList(int filter) const { return lists_.at(static_cast<size_t>(filter)); }
    CQelText* filterBox(int filter) const { return boxes_.at(static_cast<size_t>(filter)); }

    void freqTyped(int n, const QString& text) override;
    void boxSelected(int n) override;
    void viewMoved(int point, int freqCode, int gainCode, int qCode) override;
    void filterTypeChosen(int filter, int type);

    // "OFF" for a filter's off code, else the table frequency.
    static QString filterText(int filter, uint8_t freqCode);

protected:
    void loadView() override;
    void showFilter(uint8_t code) override;

private:
    void sendFilter(int filter);

    std::array<CQelStatic*, 2> labels_{};
    std::array<CQelComboBox*, 2> lists_{};
    std::array<CQelText*, 2> boxes_{};
};

}  // namespace qel
