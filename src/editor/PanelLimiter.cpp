// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/PanelLimiter.h"

#include <QPainter>
#include <algorithm>

#include "controls/NarrowComboStyle.h"
#include "controls/QelComboBox.h"
#include "controls/QelGainLevel.h"
#include "controls/QelLigGain.h"
#include "controls/QelStatic.h"
#include "controls/QelTStatic.h"
#include "controls/QelText.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ParamEdit.h"
#include "device/ValueCodes.h"
#include "editor/TypedValue.h"

namespace qel {

namespace {

constexpr double kMinDb = -10.0, kMaxDb = 20.0;  // what a limiter level can be

constexpr int kTwoInputX[] = {30, 170};
constexpr int kFourInputX[] = {30, 80, 130, 180};

}  // namespace

CPanelLimiter::CPanelLimiter(ParamEdit& edit, QWidget* parent)
    : EditorPage(edit, QStringLiteral("Qel.m_limiter_panel"), parent) {
    const uint32_t model = edit_.modelCode();
    inputs_ = std::min(inputCount(model), kMaxInputs);
    outputs_ = std::min(outputCount(model), kMaxOutputs);
    inputX_ = inputs_ <= 2 ? kTwoInputX : kFourInputX;
    outputStep_ = outputs_ > 6 ? 81 : 113;
    for (int k = 0; k < inputs_; ++k) buildInput(k, columnX(k));
    for (int j = 0; j < outputs_; ++j) buildOutput(j, columnX(inputs_ + j));

    const char* rows[] = {QT_TR_NOOP("Level ->"), QT_TR_NOOP("Attack ->"),
                          QT_TR_NOOP("Release ->")};
    const QRect places[] = {{120, 360, 120, 16}, {120, 438, 120, 16}, {120, 462, 120, 16}};
    for (size_t i = 0; i < rowLabels_.size(); ++i) {
        rowLabels_[i] = new CQelStatic(tr(rows[i]), dt::kRight, this);
        rowLabels_[i]->setGeometry(places[i]);
    }
}

// A focus change while the page goes away must not reach a half-destroyed page.
CPanelLimiter::~CPanelLimiter() {
    for (int j = 0; j < outputs_; ++j) levelBox(j)->setCallbacks(nullptr, j, {}, {});
}

int CPanelLimiter::columnX(int channel) const {
    if (channel < inputs_) return inputX_[channel];
    return kFirstOutputX + (channel - inputs_) * outputStep_;
}

void CPanelLimiter::buildInput(int k, int x) {
    const auto i = static_cast<size_t>(k);
    meters_[i] = new CQelLigGain(this);
    meters_[i]->setGeometry(x, 64, 47, 202);
    labels_[i] = new CQelTStatic(QString(QChar(u'A' + k)), this);
    labels_[i]->setGeometry(x + 16, 32, 32, 20);
}

void CPanelLimiter::buildOutput(int j, int x) {
    const auto c = static_cast<size_t>(inputs_ + j), o = static_cast<size_t>(j);
    meters_[c] = new CQelLigGain(this);
    meters_[c]->setGeometry(x, 64, 47, 202);
    labels_[c] = new CQelTStatic(tr("Output %1").arg(QChar(u'1' + j)), this);
    labels_[c]->setGeometry(x, 32, 64, 20);

    boxes_[o] = new CQelText(this);
    boxes_[o]->setGeometry(x, 276, 64, 20);
    boxes_[o]->setAlignment(Qt::AlignCenter);
    boxes_[o]->setText(QStringLiteral("0.0 dB"));
    boxes_[o]->setCallbacks(
        this, j, [this](QObject*, int id, const QString& text) { levelTyped(id, text); }, {});

    faders_[o] = new CQelGainLevel(this);
    faders_[o]->setGeometry(x + 10, 300, 38, 130);
    faders_[o]->setCallbacks(
        this, j, [this](QObject*, int id, int code, float db) { faderMoved(id, code, db); },
        [this](QObject*, int id, int direction) { neighbour(id, direction); });

    const auto list = [this, j, x](int y, const auto& times, auto chosen) {
        auto* box = new CQelComboBox(this);
        box->setGeometry(x, y, 64, 22);
        box->setStyle(NarrowComboStyle::instance());  // "1000 ms" fits the 64-pixel list
        for (const int ms : times) box->addItem(tr("%1 ms").arg(ms));
        box->setCurrentIndex(0);
        box->setCallback(
            this, j, [this, chosen](QObject*, int id, int index) { (this->*chosen)(id, index); });
        return box;
    };
    attacks_[o] = list(434, kLimiterAttackMs, &CPanelLimiter::attackChosen);
    releases_[o] = list(462, kLimiterReleaseMs, &CPanelLimiter::releaseChosen);
}

void CPanelLimiter::faderMoved(int output, int code, float db) {
    if (output < 0 || output >= outputs_) return;
    levelBox(output)->setText(signedDbText(db));
    edit_.setLimiterLevel(output + 1, static_cast<uint8_t>(code));
}

void CPanelLimiter::neighbour(int output, int direction) {
    const int next = direction == 0 ? output - 1 : output + 1;
    if (next < 0 || next >= outputs_) return;
    fader(next)->setFocus(Qt::OtherFocusReason);
    fader(next)->update();
}

void CPanelLimiter::levelTyped(int output, const QString& text) {
    if (output < 0 || output >= outputs_) return;
    const auto typed = typedValue(levelBox(output), text, ValueUnit::Decibel,
                                  [this, output] { showLevel(output); });
    if (!typed) return;
    CQelGainLevel* f = fader(output);
    const double db = f->rounded(std::clamp(*typed, kMinDb, kMaxDb), false);
    f->setValue(db);
    levelBox(output)->setText(signedDbText(db));
    tellLimits(levelBox(output), text, *typed, kMinDb, kMaxDb);
    edit_.setLimiterLevel(output + 1, static_cast<uint8_t>(f->codeFor(db)));
}

void CPanelLimiter::attackChosen(int output, int index) {
    if (output < 0 || output >= outputs_ || index < 0) return;
    edit_.setLimiterAttack(output + 1, static_cast<uint8_t>(index));
}

void CPanelLimiter::releaseChosen(int output, int index) {
    if (output < 0 || output >= outputs_ || index < 0) return;
    edit_.setLimiterRelease(output + 1, static_cast<uint8_t>(index));
}

void CPanelLimiter::showLevel(int j) {
    const double db = limiterLevelDb(edit_.image().record().output(j).limiterLevel());
    levelBox(j)->setText(signedDbText(db));
    fader(j)->setValue(db);
}

void CPanelLimiter::loadFromImage() {
    const ModeRecord& record = edit_.image().record();
    for (int j = 0; j < outputs_; ++j) {
        showLevel(j);
        // A stored index past the list leaves it without a selection.
        attackList(j)->setCurrentIndex(record.output(j).limiterAttack());
        releaseList(j)->setCurrentIndex(record.output(j).limiterRelease());
    }
}

void CPanelLimiter::showChanged(const std::vector<ParamEdit::Subject>& params) {
    const ModeRecord& record = edit_.image().record();
    for (const ParamEdit::Subject& p : params) {
        const int j = p.channel.number - 1;
        if (p.channel.side != cmd::Side::Output || j < 0 || j >= outputs_) continue;
        if (p.code == param::kLimiterLevel) showLevel(j);
        if (p.code == param::kLimiterAttack)
            attackList(j)->setCurrentIndex(record.output(j).limiterAttack());
        if (p.code == param::kLimiterRelease)
            releaseList(j)->setCurrentIndex(record.output(j).limiterRelease());
    }
}

void CPanelLimiter::showMeters(const ModeImage& image) {
    for (int k = 0; k < inputs_; ++k) meter(k)->setLevel(image.inputMeter(k));
    for (int j = 0; j < outputs_; ++j) meter(inputs_ + j)->setLevel(image.outputMeter(j));
}

void CPanelLimiter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int h = height() - 16;
    drawEtchedFrame(p, QRect(QPoint(16, 300), QPoint(253, h - 1)));
    drawEtchedFrame(p, QRect(QPoint(268, 16), QPoint(width() - 17, h - 1)));
}

}  // namespace qel
