// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>

class QLabel;

#include "device/ParamEdit.h"
#include "editor/EditorPage.h"

namespace qel {

class CQelCheckBtn;
class GroupControl;
class CQelGain;
class CQelLigGain;
class CQelTStatic;
class CQelText;

// Page 1: one strip per channel, inputs on the left and outputs on the right, each with its
// name, gain box, gain fader, level meter and mute button; outputs also have a polarity
// button. Strip index 0..inputs-1 are the inputs, the outputs follow.
class CPanelGain : public EditorPage {
    Q_OBJECT
public:
    static constexpr int kMaxStrips = 12;

    CPanelGain(ParamEdit& edit, QWidget* parent);
    ~CPanelGain() override;

    void loadFromImage() override;
    void showChanged(const std::vector<ParamEdit::Subject>& params) override;
    void showMeters(const ModeImage& image) override;

    int inputs() const { return inputs_; }
    int outputs() const { return outputs_; }
    int strips() const { return inputs_ + outputs_; }
    // Left edge of the output group minus 24.
    int separatorX() const { return separatorX_; }
    // Left edge of a strip's column.
    int columnX(int strip) const;

    CQelTStatic* label(int strip) const { return labels_.at(static_cast<size_t>(strip)); }
    CQelText* gainBox(int strip) const { return boxes_.at(static_cast<size_t>(strip)); }
    CQelGain* fader(int strip) const { return faders_.at(static_cast<size_t>(strip)); }
    CQelLigGain* meter(int strip) const { return meters_.at(static_cast<size_t>(strip)); }
    CQelCheckBtn* muteButton(int strip) const { return mutes_.at(static_cast<size_t>(strip)); }
    CQelCheckBtn* polarityButton(int output) const {
        return polarities_.at(static_cast<size_t>(output));
    }

    // The groups whose shares the strips tell of: a member strip shows its groups, their
    // share and the total the unit holds under its polarity button.
    void setGroups(const GroupControl* groups);
    QLabel* groupLine(int strip) const { return groupLines_.at(static_cast<size_t>(strip)); }

    // What the controls report.
    void faderMoved(int strip, int code, float db);
    void neighbour(int strip, int direction);
    void gainTyped(int strip, const QString& text);
    void muteClicked(int strip, int muted);
    void polarityClicked(int output, int inverted);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildStrip(int strip, int x);
    ParamEdit::Channel channelOf(int strip) const;
    int stripOf(ParamEdit::Channel channel) const;  // -1 when the page has none
    // A strip's controls as the image holds them.
    void showGain(int strip);
    void showMute(int strip);
    void showPolarity(int output);
    void showGroupShare(int strip);

    int inputs_ = 0;
    int outputs_ = 0;
    int inputStep_ = 0;
    int outputStep_ = 0;
    int firstOutputX_ = 0;
    int separatorX_ = 0;
    std::array<CQelTStatic*, kMaxStrips> labels_{};
    std::array<CQelLigGain*, kMaxStrips> meters_{};
    std::array<CQelGain*, kMaxStrips> faders_{};
    std::array<CQelText*, kMaxStrips> boxes_{};
    std::array<CQelCheckBtn*, kMaxStrips> mutes_{};
    std::array<CQelCheckBtn*, 8> polarities_{};
    std::array<QLabel*, kMaxStrips> groupLines_{};
    const GroupControl* groups_ = nullptr;
};

}  // namespace qel
