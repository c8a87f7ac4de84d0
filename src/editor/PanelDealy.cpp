// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/PanelDealy.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "controls/QelComboBox.h"
#include "controls/QelIOSelPoint.h"
#include "controls/QelLigGain2.h"
#include "controls/QelStatic.h"
#include "controls/QelTStatic.h"
#include "controls/QelText.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ParamEdit.h"
#include "editor/TypedValue.h"
#include "resources/Skins.h"

namespace qel {

namespace {

struct DelayLayout {
    int firstInputY, inputStep, firstOutputY, outputStep;
};

// QD206, QD406, QD408.
constexpr DelayLayout kLayouts[] = {{160, 152, 48, 76}, {80, 76, 48, 76}, {70, 110, 48, 55}};
constexpr int kJunctionBitmap = 155;  // 9 x 9
constexpr int kColumnX = 346, kColumnStep = 45;
const QColor kLineGrey(0x78, 0x78, 0x78);

const DelayLayout& layoutFor(uint32_t model) {
    return kLayouts[std::clamp<uint32_t>(model, 2, 4) - 2];
}

// A matrix line in grey with its white copy one pixel lower (horizontal) or to the right.
void etchedLine(QPainter& p, int x1, int y1, int x2, int y2) {
    const bool horizontal = y1 == y2;
    p.setPen(kLineGrey);
    p.drawLine(x1, y1, x2, y2);
    p.setPen(Qt::white);
    if (horizontal)
        p.drawLine(x1, y1 + 1, x2, y2 + 1);
    else
        p.drawLine(x1 + 1, y1, x2 + 1, y2);
}

}  // namespace

CPanelDealy::CPanelDealy(ParamEdit& edit, QWidget* parent)
    : EditorPage(edit, QStringLiteral("Qel.m_delay_panel"), parent) {
    const uint32_t model = edit_.modelCode();
    inputs_ = std::min(inputCount(model), kMaxInputs);
    outputs_ = std::min(outputCount(model), kMaxOutputs);
    const DelayLayout& layout = layoutFor(model);
    firstInputY_ = layout.firstInputY;
    inputStep_ = layout.inputStep;
    firstOutputY_ = layout.firstOutputY;
    outputStep_ = layout.outputStep;
    for (int k = 0; k < inputs_; ++k) buildInputRow(k);
    for (int j = 0; j < outputs_; ++j) buildOutputRow(j);

    // The label reaches under the list; the list is made after it so that it stays on top.
    unitsLabel_ = new CQelStatic(tr("Units:"), dt::kCenter, this);
    unitsLabel_->setGeometry(24, 36, 120, 22);
    unitList_ = new CQelComboBox(this);
    unitList_->setGeometry(106, 32, 100, 22);
    unitList_->addItems({tr("毫秒"), tr("米"), tr("英尺")});
    unitList_->setCurrentIndex(kMilliseconds);
    unitList_->setCallback(this, 0, [this](QObject*, int, int index) { unitChosen(index); });
    junction_ = skin::bitmap(kJunctionBitmap);
}

// A focus change while the page goes away must not reach a half-destroyed page.
CPanelDealy::~CPanelDealy() {
    for (int j = 0; j < outputs_; ++j) delayBox(j)->setCallbacks(nullptr, j, {}, {});
}

int CPanelDealy::rowY(int channel) const {
    if (channel < inputs_) return firstInputY_ + channel * inputStep_;
    return firstOutputY_ + (channel - inputs_) * outputStep_;
}

void CPanelDealy::buildInputRow(int k) {
    const auto i = static_cast<size_t>(k);
    const int y = rowY(k);
    labels_[i] = new CQelTStatic(tr("Input %1").arg(QChar(u'A' + k)), this);
    labels_[i]->setGeometry(64, y, 64, 20);
    meters_[i] = new CQelLigGain2(this);
    meters_[i]->setGeometry(144, y + 6, 140, 36);
}

void CPanelDealy::buildOutputRow(int j) {
    const auto c = static_cast<size_t>(inputs_ + j);
    const int y = rowY(inputs_ + j), r = y + 16;
    labels_[c] = new CQelTStatic(tr("Output %1").arg(QChar(u'1' + j)), this);
    labels_[c]->setGeometry(830, y - 6, 64, 20);
    meters_[c] = new CQelLigGain2(this);
    meters_[c]->setGeometry(560, y, 140, 36);
    for (int i = 0; i < inputs_; ++i) {
        auto* point = new CQelIOSelPoint(this);
        point->setGeometry(kColumnX + kColumnStep * i, r, 10, 10);
        point->setFocusPolicy(Qt::StrongFocus);
        point->setCallback(this, j * 16 + i,
                           [this](QObject*, int id, int on) { pointToggled(id, on); });
        points_[static_cast<size_t>(4 * j + i)] = point;
    }
    auto* box = new CQelText(this);
    box->setGeometry(710, y + 10, 100, 20);
    box->setAlignment(Qt::AlignCenter);
    box->setText(QStringLiteral("0.0 ms"));
    box->setCallbacks(this, j,
                      [this](QObject*, int id, const QString& text) { delayTyped(id, text); }, {});
    boxes_[static_cast<size_t>(j)] = box;
}

void CPanelDealy::pointToggled(int pointId, int on) {
    const int output = pointId / 16, input = pointId % 16;
    if (output < 0 || output >= outputs_ || input >= inputs_) return;
    uint8_t mask = edit_.image().record().output(output).inputSelect();
    const auto bit = static_cast<uint8_t>(1u << input);
    mask = static_cast<uint8_t>(on ? (mask | bit) : (mask & ~bit));
    edit_.setInputSelect(output + 1, mask);
}

void CPanelDealy::delayTyped(int output, const QString& text) {
    if (output < 0 || output >= outputs_) return;
    const ValueUnit unit = unit_ == kMetres ? ValueUnit::Metre
                           : unit_ == kFeet ? ValueUnit::Foot
                                            : ValueUnit::Millisecond;
    const auto typed =
        typedValue(delayBox(output), text, unit, [this, output] { showDelay(output); });
    if (!typed) return;
    // Below zero counts as zero, in the box as well as at the unit.
    const double v = *typed > 0 ? *typed : 0.0;
    const double perMs = unit_ == kMetres ? kMetresPerMs : unit_ == kFeet ? kFeetPerMs : 1.0;
    const double whole = std::floor(v / perMs / kMsPerSample + 0.5);
    const auto samples = static_cast<uint16_t>(std::min<double>(whole, kMaxSamples));
    edit_.setDelay(output + 1, samples);
    showDelay(output);
    tellLimits(delayBox(output), text, *typed, 0, kMaxSamples * kMsPerSample * perMs);
}

// What the unit holds, in the selected unit: the box never shows a value of its own.
void CPanelDealy::showDelay(int output) {
    const double ms = edit_.image().record().output(output).delay() * kMsPerSample;
    QString text = QString::asprintf("%.3f ms", ms);
    if (unit_ == kMetres) text = QString::asprintf("%.3f mt", ms * kMetresPerMs);
    if (unit_ == kFeet) text = QString::asprintf("%.3f ft", ms * kFeetPerMs);
    delayBox(output)->setText(text);
}

void CPanelDealy::unitChosen(int index) {
    if (index < kMilliseconds || index > kFeet || index == unit_) return;
    unit_ = index;
    for (int j = 0; j < outputs_; ++j) showDelay(j);
}

void CPanelDealy::showRouting(int output) {
    const uint8_t inputs = edit_.image().record().output(output).inputSelect();
    for (int i = 0; i < inputs_; ++i) point(output, i)->setChecked((inputs >> i) & 1);
}

void CPanelDealy::loadFromImage() {
    for (int j = 0; j < outputs_; ++j) {
        showRouting(j);
        showDelay(j);
    }
}

void CPanelDealy::showChanged(const std::vector<ParamEdit::Subject>& params) {
    for (const ParamEdit::Subject& p : params) {
        const int j = p.channel.number - 1;
        if (p.channel.side != cmd::Side::Output || j < 0 || j >= outputs_) continue;
        if (p.code == param::kInputSelect) showRouting(j);
        if (p.code == param::kDelay) showDelay(j);
    }
}

void CPanelDealy::showMeters(const ModeImage& image) {
    for (int k = 0; k < inputs_; ++k) meter(k)->setLevel(image.inputMeter(k));
    for (int j = 0; j < outputs_; ++j) meter(inputs_ + j)->setLevel(image.outputMeter(j));
}

void CPanelDealy::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawEtchedFrame(p, rect().adjusted(16, 16, -16, -16));
    for (int k = 0; k < inputs_; ++k) {
        const int y = rowReference(k) + 10;
        etchedLine(p, 56, y, 350 + kColumnStep * k, y);
    }
    for (int j = 0; j < outputs_; ++j) {
        const int y = rowReference(inputs_ + j) + 4;
        etchedLine(p, 350, y, 900, y);
    }
    for (int k = 0; k < inputs_; ++k) {
        const int x = 350 + kColumnStep * k;
        etchedLine(p, x, 64, x, 466);
    }
    for (int k = 0; k < inputs_; ++k)
        p.drawPixmap(kColumnX + kColumnStep * k, rowReference(k) + 6, junction_);
}

}  // namespace qel
