// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/PanelEqo.h"

#include "controls/QelComboBox.h"
#include "controls/QelStatic.h"
#include "controls/QelText.h"
#include "device/FreqTable.h"
#include "device/ModeImage.h"
#include "device/ValueCodes.h"
#include "editor/TypedValue.h"
#include "eqresponse/view/QelEqView.h"

namespace qel {

CPanelEqo::CPanelEqo(ParamEdit& edit, QWidget* parent)
    : EqPage(edit, QStringLiteral("Qel.m_eq_opanel"), cmd::Side::Output, kResetHz,
             QStringLiteral("0.0 dB"), parent) {
    const char* names[] = {QT_TR_NOOP("高通:"), QT_TR_NOOP("低通:")};
    for (int f = 0; f < 2; ++f) {
        const auto i = static_cast<size_t>(f);
        const int y = 24 + 70 * f;
        labels_[i] = new CQelStatic(tr(names[f]), dt::kLeft, this);
        labels_[i]->setGeometry(664, y, 120, 22);
        lists_[i] = new CQelComboBox(this);
        lists_[i]->setGeometry(680, y + 20, 120, 22);
        for (uint8_t type = 0; type < kCrossoverTypeCount; ++type)
            lists_[i]->addItem(QString::fromLatin1(crossoverTypeName(type)));
        lists_[i]->setCurrentIndex(0);
        lists_[i]->setCallback(this, f,
                               [this](QObject*, int id, int type) { filterTypeChosen(id, type); });
        boxes_[i] = new CQelText(this);
        boxes_[i]->setGeometry(810, y + 20, 100, 22);
        boxes_[i]->setAlignment(Qt::AlignCenter);
        boxes_[i]->setText(QStringLiteral("1000 Hz"));
        boxes_[i]->setCallbacks(
            this, kHighPassBox + f,
            [this](QObject*, int id, const QString& text) { freqTyped(id, text); },
            [this](QObject*, int id) { boxSelected(id); });
    }
    loadView();
}

QString CPanelEqo::filterText(int filter, uint8_t code) {
    const uint8_t off = filter == kHighPassFilter ? kHighPassOffCode : kLowPassOffCode;
    if (code == off) return QStringLiteral("OFF");
    return freqText(code);
}

void CPanelEqo::loadView() {
    EqPage::loadView();
    view()->setCrossoverShown(true);
    showFilter(param::kHighPass);
    showFilter(param::kLowPass);
}

void CPanelEqo::showFilter(uint8_t code) {
    const OutputChannel& out = edit_.image().record().output(channel() - 1);
    const bool high = code == param::kHighPass;
    if (!high && code != param::kLowPass) return;
    const int filter = high ? kHighPassFilter : kLowPassFilter;
    const uint8_t type = high ? out.highPassType() : out.lowPassType();
    const uint8_t freq = high ? out.highPassFreq() : out.lowPassFreq();
    if (high)
        view()->setHighPass(type, freq);
    else
        view()->setLowPass(type, freq);
    typeList(filter)->setCurrentIndex(type);
    filterBox(filter)->setText(filterText(filter, freq));
}

// The filter as the view holds it goes to the image, the linked outputs and the unit.
void CPanelEqo::sendFilter(int filter) {
    CQelEqView* v = view();
    if (filter == kHighPassFilter)
        edit_.setHighPass(channel(), v->highPassType(), v->highPassFreq(), linkedChannels());
    else
        edit_.setLowPass(channel(), v->lowPassType(), v->lowPassFreq(), linkedChannels());
}

void CPanelEqo::freqTyped(int n, const QString& text) {
    if (n != kHighPassBox && n != kLowPassBox) return EqPage::freqTyped(n, text);
    const int filter = n - kHighPassBox;
    const bool off = text.trimmed().compare(QLatin1String("OFF"), Qt::CaseInsensitive) == 0;
    std::optional<double> typed;
    if (!off) {
        typed = typedValue(filterBox(filter), text, ValueUnit::Hertz, [this, filter] {
            showFilter(filter == kHighPassFilter ? param::kHighPass : param::kLowPass);
        });
        if (!typed) return;
    }
    const uint8_t offCode = filter == kHighPassFilter ? kHighPassOffCode : kLowPassOffCode;
    const uint8_t code = off ? offCode : QuantizeFreq(*typed).code;
    filterBox(filter)->setText(filterText(filter, code));
    if (typed) tellLimits(filterBox(filter), text, *typed, FreqTable.front(), FreqTable.back());
    if (filter == kHighPassFilter)
        view()->setHighPass(view()->highPassType(), code);
    else
        view()->setLowPass(view()->lowPassType(), code);
    view()->recomputeRow(n);
    view()->redraw();
    sendFilter(filter);
}

void CPanelEqo::filterTypeChosen(int filter, int type) {
    if (type < 0 || type >= kCrossoverTypeCount) return;
    const auto t = static_cast<uint8_t>(type);
    if (filter == kHighPassFilter)
        view()->setHighPass(t, view()->highPassFreq());
    else
        view()->setLowPass(t, view()->lowPassFreq());
    const int row = kHighPassBox + filter;
    view()->setSelected(row);
    view()->recomputeRow(row);
    view()->redraw();
    sendFilter(filter);
}

void CPanelEqo::boxSelected(int n) {
    if (n != kHighPassBox && n != kLowPassBox) return EqPage::boxSelected(n);
    view()->setSelected(n);
    view()->redraw();
}

void CPanelEqo::viewMoved(int point, int freqCode, int gainCode, int qCode) {
    if (point != kHighPassBox && point != kLowPassBox)
        return EqPage::viewMoved(point, freqCode, gainCode, qCode);
    const int filter = point - kHighPassBox;
    filterBox(filter)->setText(filterText(filter, static_cast<uint8_t>(freqCode)));
    sendFilter(filter);
}

}  // namespace qel
