// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>

#include "editor/EditorPage.h"

namespace qel {

class CQelComboBox;
class CQelGainLevel;
class CQelLigGain;
class CQelStatic;
class CQelTStatic;
class CQelText;

// Page 3: a level meter for every channel, and for every output its limiter: level box,
// level fader, attack and release lists. Channel index 0..inputs-1 are the inputs, the
// outputs follow; the limiter controls are indexed by output.
class CPanelLimiter : public EditorPage {
    Q_OBJECT
public:
    static constexpr int kMaxChannels = 12;
    static constexpr int kFirstOutputX = 288;

    CPanelLimiter(ParamEdit& edit, QWidget* parent);
    ~CPanelLimiter() override;

    void loadFromImage() override;
    void showChanged(const std::vector<ParamEdit::Subject>& params) override;
    void showMeters(const ModeImage& image) override;

    int inputs() const { return inputs_; }
    int outputs() const { return outputs_; }
    int columnX(int channel) const;

    CQelTStatic* label(int channel) const { return labels_.at(static_cast<size_t>(channel)); }
    CQelLigGain* meter(int channel) const { return meters_.at(static_cast<size_t>(channel)); }
    CQelText* levelBox(int output) const { return boxes_.at(static_cast<size_t>(output)); }
    CQelGainLevel* fader(int output) const { return faders_.at(static_cast<size_t>(output)); }
    CQelComboBox* attackList(int output) const { return attacks_.at(static_cast<size_t>(output)); }
    CQelComboBox* releaseList(int output) const {
        return releases_.at(static_cast<size_t>(output));
    }

    // What the controls report.
    void faderMoved(int output, int code, float db);
    void neighbour(int output, int direction);
    void levelTyped(int output, const QString& text);
    void attackChosen(int output, int index);
    void releaseChosen(int output, int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildInput(int input, int x);
    void buildOutput(int output, int x);
    void showLevel(int output);

    int inputs_ = 0;
    int outputs_ = 0;
    int outputStep_ = 0;
    const int* inputX_ = nullptr;
    std::array<CQelTStatic*, kMaxChannels> labels_{};
    std::array<CQelLigGain*, kMaxChannels> meters_{};
    std::array<CQelText*, 8> boxes_{};
    std::array<CQelGainLevel*, 8> faders_{};
    std::array<CQelComboBox*, 8> attacks_{};
    std::array<CQelComboBox*, 8> releases_{};
    std::array<CQelStatic*, 3> rowLabels_{};
};

}  // namespace qel
