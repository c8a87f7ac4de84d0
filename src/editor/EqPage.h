// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <functional>
#include <span>
#include <vector>

#include "device/MeasurementExport.h"
#include "device/ParamEdit.h"
#include "editor/EditorPage.h"

namespace qel {

class CQelBtn;
class CQelEqType;
class CQelEqView;
class CQelGainEq;
class CQelLigGain2;
class CQelStatic;
class CQelText;

// What the input and output EQ pages share: one column per EQ point across the top (gain box,
// gain fader, type selector, frequency box, Q box), the curve view below, and the bottom row
// with the summary of the point last touched, "EQ pass", "重置" (reset) and the channel's
// meter. The page shows one channel, chosen on the tab strip; an edit also reaches the
// channels linked with it there. Every edit goes through ParamEdit.
class EqPage : public EditorPage {
    Q_OBJECT
public:
    static constexpr int kMaxPoints = 15;
    static constexpr int kHighPassBox = 15, kLowPassBox = 16;  // box ids of the crossover
    // The editor's page area, which the layout assumes until the page is resized.
    static constexpr int kPageWidth = 962, kPageHeight = 515;

    ~EqPage() override;

    void loadFromImage() override;
    void showChanged(const std::vector<ParamEdit::Subject>& params) override;
    void showMeters(const ModeImage& image) override;
    void selectChannel(int channel, int linkMask, bool reload) override;

    int points() const { return points_; }
    int channel() const { return channel_; }
    int linkMask() const { return linkMask_; }

    CQelEqView* view() const { return view_; }
    CQelText* gainBox(int n) const { return gainBoxes_.at(static_cast<size_t>(n)); }
    CQelText* freqBox(int n) const { return freqBoxes_.at(static_cast<size_t>(n)); }
    CQelText* qBox(int n) const { return qBoxes_.at(static_cast<size_t>(n)); }
    CQelGainEq* fader(int n) const { return faders_.at(static_cast<size_t>(n)); }
    CQelEqType* typeSelector(int n) const { return types_.at(static_cast<size_t>(n)); }
    CQelStatic* summary() const { return summary_; }
    CQelBtn* resetButton() const { return reset_; }
    CQelBtn* passButton() const { return pass_; }
    CQelBtn* importButton() const { return import_; }
    CQelBtn* exportButton() const { return export_; }
    CQelLigGain2* meter() const { return meter_; }

    // What the controls report.
    void faderMoved(int n, int code, float db);
    void neighbour(int n, int direction);
    void typeChanged(int n, int type);
    void gainTyped(int n, const QString& text);
    virtual void freqTyped(int n, const QString& text);
    void qTyped(int n, const QString& text);
    virtual void boxSelected(int n);
    virtual void viewMoved(int point, int freqCode, int gainCode, int qCode);
    void resetClicked();
    void passClicked();
    // A measurement program's EQ text on the selected channel: the file's problems, or the
    // report of what rounding moved and, on the user's word, the points through ParamEdit
    // (the rest at 0 dB, the EQ on). Nothing changes unless the whole file fits.
    bool importFilters(const QString& path);
    void chooseFilterFile();
    // The selected channel's EQ as a measurement program's EQ text, and what it left out.
    bool exportFilters(const QString& path, EqTextFormat format);

    // "EQPoint: %2d    Type: ...": the point's number, type, gain, frequency and Q.
    static QString summaryText(int n, const EqPoint& point);

protected:
    // defaults: each point's frequency after a reset, point 1 first.
    EqPage(ParamEdit& edit, const QString& objectName, cmd::Side side,
           std::span<const float> defaults, const QString& initialGain, QWidget* parent);

    cmd::Side side() const { return side_; }
    ParamEdit::Channel channelId() const { return {side_, channel_}; }
    // The other channels of the link group, 1-based.
    std::vector<int> linkedChannels() const;
    // The selected channel's point n and EQ switch byte in the image.
    const EqPoint& imagePoint(int n) const;
    uint8_t eqSwitch() const;
    // Hands the view the channel's points and EQ switch; the output page adds its filters.
    virtual void loadView();
    // The output page: a crossover filter (param::kHighPass or kLowPass) of the channel as the
    // image holds it, in the view and the filter's controls; the caller recomputes the view.
    virtual void showFilter(uint8_t code) { (void)code; }
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildColumn(int n, const QString& initialGain);
    void placeBottom(QSize page);
    void showPoint(int n, const EqPoint& point);
    void sendPoint(int n, const EqPoint& point);
    // A typed value of point n: the box shows it as the unit will hold it, set puts it in the
    // point, which goes to the unit and the view.
    void putTyped(int n, CQelText* box, const QString& shown,
                  const std::function<void(EqPoint&)>& set);
    // What was typed into a box of point n, or nothing when it was refused.
    std::optional<double> typedPoint(int n, CQelText* box, const QString& text, ValueUnit unit);
    void describe(int n);
    // "输入 A", "输出 2".
    QString channelText() const;
    // The program's settings file, through the editor the page is in (none outside one).
    QString configPath() const;

    cmd::Side side_;
    int points_;
    std::vector<float> defaults_;
    int channel_ = 1;
    int linkMask_ = 0;
    int described_ = 0;  // the point the summary describes
    CQelEqView* view_ = nullptr;
    CQelLigGain2* meter_ = nullptr;
    CQelStatic* summary_ = nullptr;
    std::array<CQelStatic*, 4> rowLabels_{};
    std::array<CQelText*, kMaxPoints> gainBoxes_{};
    std::array<CQelText*, kMaxPoints> freqBoxes_{};
    std::array<CQelText*, kMaxPoints> qBoxes_{};
    std::array<CQelGainEq*, kMaxPoints> faders_{};
    std::array<CQelEqType*, kMaxPoints> types_{};
    CQelBtn* reset_ = nullptr;
    CQelBtn* pass_ = nullptr;
    CQelBtn* import_ = nullptr;
    CQelBtn* export_ = nullptr;
};

}  // namespace qel
