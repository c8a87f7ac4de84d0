// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/PanelGain.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "controls/ControlStyle.h"
#include "controls/QelCheckBtn.h"
#include "controls/QelGain.h"
#include "controls/QelLigGain.h"
#include "controls/QelTStatic.h"
#include "controls/QelText.h"
#include "device/GroupControl.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ValueCodes.h"
#include "editor/TypedValue.h"

namespace qel {

namespace {

constexpr double kMinDb = -50.0, kMaxDb = 12.0;  // what a channel gain can be

struct GainLayout {
    int inputStep, outputStep, firstOutputX;
};

// QD206, QD406, QD408.
constexpr GainLayout kLayouts[] = {{110, 120, 258}, {80, 94, 388}, {71, 71, 360}};
constexpr int kFirstInputX = 32;

const GainLayout& layoutFor(uint32_t model) {
    return kLayouts[std::clamp<uint32_t>(model, 2, 4) - 2];
}

}  // namespace

CPanelGain::CPanelGain(ParamEdit& edit, QWidget* parent)
    : EditorPage(edit, QStringLiteral("Qel.m_gain_panel"), parent) {
    const uint32_t model = edit_.modelCode();
    inputs_ = std::min(inputCount(model), kMaxInputs);
    outputs_ = std::min(outputCount(model), kMaxOutputs);
    const GainLayout& layout = layoutFor(model);
    inputStep_ = layout.inputStep;
    outputStep_ = layout.outputStep;
    firstOutputX_ = layout.firstOutputX;
    separatorX_ = firstOutputX_ - 24;
    for (int s = 0; s < strips(); ++s) buildStrip(s, columnX(s));
}

// A focus change while the page goes away must not reach a half-destroyed page.
CPanelGain::~CPanelGain() {
    for (int s = 0; s < strips(); ++s) gainBox(s)->setCallbacks(nullptr, s, {}, {});
}

int CPanelGain::columnX(int strip) const {
    if (strip < inputs_) return kFirstInputX + strip * inputStep_;
    return firstOutputX_ + (strip - inputs_) * outputStep_;
}

void CPanelGain::buildStrip(int s, int x) {
    const auto i = static_cast<size_t>(s);
    const bool output = s >= inputs_;
    const QString name = output ? tr("Output %1").arg(QChar(u'1' + (s - inputs_)))
                                : tr("Input %1").arg(QChar(u'A' + s));
    labels_[i] = new CQelTStatic(name, this);
    labels_[i]->setGeometry(x, 32, 64, 20);

    boxes_[i] = new CQelText(this);
    boxes_[i]->setGeometry(x, 80, 64, 20);
    boxes_[i]->setAlignment(Qt::AlignCenter);
    boxes_[i]->setText(QStringLiteral("+0.0 dB"));
    boxes_[i]->setCallbacks(
        this, s, [this](QObject*, int id, const QString& text) { gainTyped(id, text); }, {});

    faders_[i] = new CQelGain(this);
    faders_[i]->setGeometry(x, 112, 38, 282);
    faders_[i]->setCallbacks(
        this, s, [this](QObject*, int id, int code, float db) { faderMoved(id, code, db); },
        [this](QObject*, int id, int direction) { neighbour(id, direction); });

    meters_[i] = new CQelLigGain(this);
    meters_[i]->setGeometry(x + 40, 115, 17, 202);

    mutes_[i] = new CQelCheckBtn(this);
    mutes_[i]->setBitmapId(skinid::kMuteButton);
    mutes_[i]->setGeometry(x + 8, 405, 48, 23);
    mutes_[i]->setText(tr("静音"));
    mutes_[i]->setCallback(this, s, [this](QObject*, int id, int on) { muteClicked(id, on); });

    if (!output) return;
    const int o = s - inputs_;
    auto* polarity = new CQelCheckBtn(this);
    polarities_[static_cast<size_t>(o)] = polarity;
    polarity->setBitmapId(skinid::kPolarityButton);
    polarity->setGeometry(x + 8, 435, 48, 23);
    polarity->setText(tr("Phase 0°"));
    polarity->setAlternateText(tr("Phase180"));
    polarity->setUseAlternateText(true);
    polarity->setCallback(this, o, [this](QObject*, int id, int on) { polarityClicked(id, on); });
}

ParamEdit::Channel CPanelGain::channelOf(int strip) const {
    return strip < inputs_ ? cmd::inputChannel(strip + 1) : cmd::outputChannel(strip - inputs_ + 1);
}

int CPanelGain::stripOf(ParamEdit::Channel ch) const {
    const bool input = ch.side == cmd::Side::Input;
    if (ch.number < 1 || ch.number > (input ? inputs_ : outputs_)) return -1;
    return input ? ch.number - 1 : inputs_ + ch.number - 1;
}

void CPanelGain::faderMoved(int strip, int code, float db) {
    if (strip < 0 || strip >= strips()) return;
    gainBox(strip)->setText(signedDbText(db));
    edit_.setGain(channelOf(strip), static_cast<uint8_t>(code));
}

void CPanelGain::neighbour(int strip, int direction) {
    const int next = direction == 0 ? strip - 1 : strip + 1;
    if (next < 0 || next >= strips()) return;
    fader(next)->setFocus(Qt::OtherFocusReason);
    fader(next)->update();
}

void CPanelGain::gainTyped(int strip, const QString& text) {
    if (strip < 0 || strip >= strips()) return;
    const auto typed =
        typedValue(gainBox(strip), text, ValueUnit::Decibel, [this, strip] { showGain(strip); });
    if (!typed) return;
    CQelGain* f = fader(strip);
    const double db = f->rounded(std::clamp(*typed, kMinDb, kMaxDb), false);
    f->setValue(db);
    gainBox(strip)->setText(signedDbText(db));
    tellLimits(gainBox(strip), text, *typed, kMinDb, kMaxDb);
    edit_.setGain(channelOf(strip), static_cast<uint8_t>(f->codeFor(db)));
}

void CPanelGain::muteClicked(int strip, int muted) {
    if (strip < 0 || strip >= strips()) return;
    edit_.setMute(channelOf(strip), static_cast<uint8_t>(muted ? 1 : 0));
}

void CPanelGain::polarityClicked(int output, int inverted) {
    if (output < 0 || output >= outputs_) return;
    edit_.setPolarity(output + 1, static_cast<uint8_t>(inverted ? 1 : 0));
}

void CPanelGain::showGain(int s) {
    const ModeRecord& record = edit_.image().record();
    const double db =
        gainDb(s >= inputs_ ? record.output(s - inputs_).gain() : record.input(s).gain());
    gainBox(s)->setText(signedDbText(db));
    fader(s)->setValue(db);
}

void CPanelGain::showMute(int s) {
    const ModeRecord& record = edit_.image().record();
    muteButton(s)->setChecked(
        (s >= inputs_ ? record.output(s - inputs_).mute() : record.input(s).mute()) != 0);
}

void CPanelGain::showPolarity(int o) {
    polarityButton(o)->setChecked(edit_.image().record().output(o).polarity() != 0);
}

void CPanelGain::setGroups(const GroupControl* groups) {
    groups_ = groups;
    for (int s = 0; s < strips(); ++s) {
        auto*& line = groupLines_[static_cast<size_t>(s)];
        if (!line) {
            line = new QLabel(this);
            line->setGeometry(columnX(s) - 2, 461, 68, 36);
            line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            QFont small = line->font();
            small.setPointSizeF(small.pointSizeF() * 0.85);
            line->setFont(small);
        }
        showGroupShare(s);
    }
    if (groups)
        connect(groups, &GroupControl::changed, this, [this] {
            for (int s = 0; s < strips(); ++s) showGroupShare(s);
        });
}

void CPanelGain::showGroupShare(int s) {
    QLabel* line = groupLines_[static_cast<size_t>(s)];
    if (!line || !groups_) return;
    const GroupMember member{GroupControl::unitName(edit_.unit()), edit_.modelCode(), channelOf(s)};
    std::vector<QString> names;
    for (const std::string& name : groups_->groupNames())
        if (groups_->group(name)->has(member)) names.push_back(QString::fromStdString(name));
    line->setVisible(!names.empty());
    if (names.empty()) return;
    const GroupControl::MemberView view = groups_->member(member);
    const ModeRecord& record = edit_.image().record();
    const double held =
        gainDb(s >= inputs_ ? record.output(s - inputs_).gain() : record.input(s).gain());
    const double share = view.share.gainDb, own = held - share;
    // Three short lines fit the strip: its own value, the group (or how many) with its share,
    // then the total the unit holds.
    const QString group = names.size() == 1 ? names.front() : QString("×%1").arg(names.size());
    const QFontMetrics metrics(line->font());
    const QString shareText = QString::asprintf("%+.1f", share);
    const QString shownGroup = metrics.elidedText(
        group, Qt::ElideRight, line->width() - metrics.horizontalAdvance(' ' + shareText));
    line->setText(
        tr("自身 %1\n%2 %3\n→ %4")
            .arg(QString::asprintf("%+.1f", own), shownGroup, shareText, signedDbText(held)));
    line->setToolTip(tr("编组 %1 %2 → %3 (自身 %4)")
                         .arg(QStringList(names.begin(), names.end()).join(", "),
                              signedDbText(share), signedDbText(held), signedDbText(own)));
}

void CPanelGain::loadFromImage() {
    for (int s = 0; s < strips(); ++s) {
        showGroupShare(s);
        showGain(s);
        showMute(s);
        if (s >= inputs_) showPolarity(s - inputs_);
    }
}

void CPanelGain::showChanged(const std::vector<ParamEdit::Subject>& params) {
    for (const ParamEdit::Subject& p : params) {
        const int s = stripOf(p.channel);
        if (s < 0) continue;
        if (p.code == param::kGain) {
            showGain(s);
            showGroupShare(s);
        }
        if (p.code == param::kMute) showMute(s);
        if (p.code == param::kPolarity && s >= inputs_) showPolarity(s - inputs_);
    }
}

void CPanelGain::showMeters(const ModeImage& image) {
    for (int s = 0; s < strips(); ++s)
        meter(s)->setLevel(s < inputs_ ? image.inputMeter(s) : image.outputMeter(s - inputs_));
}

void CPanelGain::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int h = height() - 32;
    drawEtchedFrame(p, QRect(16, 16, separatorX_ - 8 - 16, h));
    drawEtchedFrame(p, QRect(separatorX_ + 8, 16, width() - 16 - separatorX_ - 8, h));
}

}  // namespace qel
