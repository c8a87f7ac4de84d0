// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QPixmap>
#include <array>

#include "editor/EditorPage.h"

namespace qel {

class CQelComboBox;
class CQelIOSelPoint;
class CQelLigGain2;
class CQelStatic;
class CQelTStatic;
class CQelText;

// Page 2: the delay of each output (typed in milliseconds, metres or feet) and the input
// selection of each output as a routing matrix: one row per channel, inputs on the left and
// outputs on the right, one switch point per input column on every output row. Channel
// index 0..inputs-1 are the inputs, the outputs follow.
class CPanelDealy : public EditorPage {
    Q_OBJECT
public:
    enum Unit { kMilliseconds = 0, kMetres = 1, kFeet = 2 };
    static constexpr int kMaxChannels = 12;
    static constexpr uint16_t kMaxSamples = 32736;  // 682 ms
    static constexpr double kMsPerSample = 0.020833332;
    static constexpr double kMetresPerMs = 0.346, kFeetPerMs = 1.1351706054;

    CPanelDealy(ParamEdit& edit, QWidget* parent);
    ~CPanelDealy() override;

    void loadFromImage() override;
    void showChanged(const std::vector<ParamEdit::Subject>& params) override;
    void showMeters(const ModeImage& image) override;

    int inputs() const { return inputs_; }
    int outputs() const { return outputs_; }
    int unit() const { return unit_; }
    // Row top of a channel and its reference y (row y + 16), which the matrix lines follow.
    int rowY(int channel) const;
    int rowReference(int channel) const { return rowY(channel) + 16; }

    CQelTStatic* label(int channel) const { return labels_.at(static_cast<size_t>(channel)); }
    CQelLigGain2* meter(int channel) const { return meters_.at(static_cast<size_t>(channel)); }
    CQelText* delayBox(int output) const { return boxes_.at(static_cast<size_t>(output)); }
    CQelIOSelPoint* point(int output, int input) const {
        return points_.at(static_cast<size_t>(4 * output + input));
    }
    CQelComboBox* unitList() const { return unitList_; }

    // What the controls report.
    void pointToggled(int pointId, int on);  // pointId = output * 16 + input
    void delayTyped(int output, const QString& text);
    void unitChosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildInputRow(int input);
    void buildOutputRow(int output);
    void showDelay(int output);
    void showRouting(int output);

    int inputs_ = 0;
    int outputs_ = 0;
    int firstInputY_ = 0, inputStep_ = 0, firstOutputY_ = 0, outputStep_ = 0;
    int unit_ = kMilliseconds;
    std::array<CQelTStatic*, kMaxChannels> labels_{};
    std::array<CQelText*, kMaxChannels> boxes_{};
    std::array<CQelIOSelPoint*, 32> points_{};
    std::array<CQelLigGain2*, kMaxChannels> meters_{};
    CQelStatic* unitsLabel_ = nullptr;
    CQelComboBox* unitList_ = nullptr;
    QPixmap junction_;
};

}  // namespace qel
