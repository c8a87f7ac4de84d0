// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/EqPage.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "controls/MessageBoxes.h"
#include "controls/QelBtn.h"
#include "controls/QelGainEq.h"
#include "controls/QelLigGain2.h"
#include "controls/QelStatic.h"
#include "controls/QelText.h"
#include "device/FreqTable.h"
#include "device/MeasurementEq.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ValueCodes.h"
#include "editor/EditorHost.h"
#include "editor/EqTextExport.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/TypedValue.h"
#include "eqresponse/view/QelEqType.h"
#include "eqresponse/view/QelEqView.h"
#include "ui/MeasurementWords.h"

namespace qel {

namespace {

constexpr int kFirstColumnX = 54, kColumnStep = 60;
constexpr uint8_t kResetQCode = 4;  // Q 1.0

QString qText(uint8_t code) {
    return QString::asprintf("%.1f", eqQ(code));
}

const char* typeName(EqType t) {
    return t == EqType::LowShelf ? "LS" : t == EqType::HighShelf ? "HS" : "PK";
}

// What the file asks, what the point gets and what rounding moved.
QString filterLine(size_t index, const FittedFilter& f) {
    const MeasuredFilter& m = f.filter;
    QString asked = QString::asprintf("%s %g Hz %+.2f dB", typeName(m.type), m.hz, m.gainDb);
    QString got = QString::asprintf("%.1f Hz %+.1f dB", double{FreqTable[f.point.freq]},
                                    eqGainDb(f.point.gain));
    QString moved = QString::asprintf("%+.1f Hz, %+.2f dB", f.hzError, f.gainError);
    if (f.qError) {
        asked += QString::asprintf(" Q %.2f", m.q);
        got += QString::asprintf(" Q %.1f", eqQ(f.point.q));
        moved += QString::asprintf(", Q %+.2f", *f.qError);
    }
    QString line = EqPage::tr("滤波器 %1 (第 %2 行): %3 → 点 %1: %4 (移动 %5)")
                       .arg(index + 1)
                       .arg(m.line)
                       .arg(asked, got, moved);
    if (f.shapeDb)
        line += EqPage::tr("; 斜率与设备的搁架滤波器最多相差 %1 dB")
                    .arg(QString::asprintf("%.2f", std::fabs(*f.shapeDb)));
    return line;
}

QString crossoverLine(const FittedCrossover& c) {
    const QString name = c.filter.highPass ? EqPage::tr("高通") : EqPage::tr("低通");
    return EqPage::tr("%1 (第 %2 行): %3 %4 Hz → Butterworth 12 dB %5 Hz (移动 %6 Hz)")
        .arg(name)
        .arg(c.filter.line)
        .arg(QString::fromStdString(c.filter.type), QString::asprintf("%g", c.filter.hz),
             QString::asprintf("%.1f", double{FreqTable[c.freq]}),
             QString::asprintf("%+.1f", c.hzError));
}

// What the file holds besides the filters taken.
QStringList otherLines(const MeasurementEq& eq) {
    QStringList lines;
    if (eq.preampDb)
        lines << EqPage::tr("文件的前置增益 %1 dB 不会应用, 请自行设置增益。")
                     .arg(QString::asprintf("%+.1f", *eq.preampDb));
    if (eq.skipped) lines << EqPage::tr("跳过了关闭的滤波器: %1").arg(eq.skipped);
    if (eq.otherChannels) lines << EqPage::tr("跳过了其他通道的滤波器: %1").arg(eq.otherChannels);
    for (const MeasurementNote& n : eq.notes)
        lines << EqPage::tr("第 %1 行: 跳过了 \"%2\"")
                     .arg(n.line)
                     .arg(QString::fromStdString(n.text));
    return lines;
}

}  // namespace

EqPage::EqPage(ParamEdit& edit, const QString& objectName, cmd::Side side,
               std::span<const float> defaults, const QString& initialGain, QWidget* parent)
    : EditorPage(edit, objectName, parent),
      side_(side),
      points_(static_cast<int>(defaults.size())),
      defaults_(defaults.begin(), defaults.end()) {
    const char* rows[] = {QT_TR_NOOP("增益:"), QT_TR_NOOP("类型:"), QT_TR_NOOP("频率:"),
                          QT_TR_NOOP("Q:")};
    const int rowY[] = {8, 92, 148, 170};
    for (size_t i = 0; i < rowLabels_.size(); ++i) {
        rowLabels_[i] = new CQelStatic(tr(rows[i]), dt::kRight, this);
        rowLabels_[i]->setGeometry(6, rowY[i], 40, 14);
    }
    for (int n = 0; n < points_; ++n) buildColumn(n, initialGain);

    view_ = new CQelEqView(this);
    view_->setCallback(
        this, [this](QObject*, int point, int f, int g, int q) { viewMoved(point, f, g, q); });
    summary_ =
        new CQelStatic(tr("EQPoint: 1    Type: PEQ     Gain: +0.0 dB     Freq: 1000Hz     Q: 1.0"),
                       dt::kLeft, this);
    pass_ = new CQelBtn(this);
    pass_->setText(tr("EQ pass"));
    pass_->setGeometry(660, 490, 48, 18);
    pass_->setCallback(this, 0, [this](QObject*, int, int) { passClicked(); });
    reset_ = new CQelBtn(this);
    reset_->setText(tr("重置"));
    reset_->setGeometry(720, 490, 48, 18);
    reset_->setCallback(this, 0, [this](QObject*, int, int) { resetClicked(); });
    import_ = new CQelBtn(this);
    import_->setObjectName(QStringLiteral("Qel.EqImport"));
    import_->setText(tr("导入滤波器..."));
    import_->setToolTip(tr("测量软件导出的 EQ 文本, 用在当前通道"));
    import_->setGeometry(566, 490, 82, 18);
    import_->setCallback(this, 0, [this](QObject*, int, int) { chooseFilterFile(); });
    export_ = new CQelBtn(this);
    export_->setObjectName(QStringLiteral("Qel.EqExport"));
    export_->setText(tr("导出滤波器..."));
    export_->setToolTip(tr("当前通道的 EQ, 存为测量软件读取的 EQ 文本"));
    export_->setGeometry(478, 490, 82, 18);
    export_->setCallback(this, 0, [this](QObject*, int, int) {
        EqTextFormat format = EqTextFormat::Generic;
        const QString path = EqTextExport::chooseFile(this, configPath(), format);
        if (!path.isEmpty()) exportFilters(path, format);
    });
    meter_ = new CQelLigGain2(this);
    placeBottom(QSize(kPageWidth, kPageHeight));
}

void EqPage::resizeEvent(QResizeEvent* event) {
    EditorPage::resizeEvent(event);
    placeBottom(size());
}

// The view and the bottom row follow the page's bottom and right edges; the page's bottom
// edge cuts the summary and the meter.
void EqPage::placeBottom(QSize page) {
    const int w = page.width(), h = page.height();
    view_->setGeometry(QRect(QPoint(6, h - 316), QPoint(w - 7, h - 23)));
    summary_->setGeometry(QRect(QPoint(8, h - 17), QPoint(472, h + 15)));
    meter_->setGeometry(QRect(QPoint(w - 144, h - 20), QPoint(w - 5, h + 15)));
}

// A focus change while the page goes away must not reach a half-destroyed page.
EqPage::~EqPage() {
    for (int n = 0; n < points_; ++n)
        for (CQelText* box : {gainBox(n), freqBox(n), qBox(n)})
            box->setCallbacks(nullptr, n, {}, {});
}

void EqPage::buildColumn(int n, const QString& initialGain) {
    const auto i = static_cast<size_t>(n);
    const int x = kFirstColumnX + kColumnStep * n;
    const auto box = [this, n](int y, const QString& text) {
        auto* b = new CQelText(this);
        b->setGeometry(
            QRect(QPoint(0, y), QPoint(55, y + 19)).translated(kFirstColumnX + kColumnStep * n, 0));
        b->setAlignment(Qt::AlignCenter);
        b->setText(text);
        return b;
    };
    gainBoxes_[i] = box(6, initialGain);
    gainBoxes_[i]->setCallbacks(
        this, n, [this](QObject*, int id, const QString& t) { gainTyped(id, t); },
        [this](QObject*, int id) { boxSelected(id); });
    faders_[i] = new CQelGainEq(this);
    faders_[i]->setGeometry(x + 16, 26, 38, 118);
    faders_[i]->setCallbacks(
        this, n, [this](QObject*, int id, int code, float db) { faderMoved(id, code, db); },
        [this](QObject*, int id, int direction) { neighbour(id, direction); });
    // Made after the fader, which it overlaps, so that it stays on top.
    types_[i] = new CQelEqType(this);
    types_[i]->setGeometry(x, 92, 15, 47);
    types_[i]->setCallback(this, n, [this](QObject*, int id, int type) { typeChanged(id, type); });
    freqBoxes_[i] = box(144, freqText(QuantizeFreq(1000).code));
    freqBoxes_[i]->setCallbacks(
        this, n, [this](QObject*, int id, const QString& t) { freqTyped(id, t); },
        [this](QObject*, int id) { boxSelected(id); });
    qBoxes_[i] = box(168, QStringLiteral("1.0"));
    qBoxes_[i]->setCallbacks(
        this, n, [this](QObject*, int id, const QString& t) { qTyped(id, t); },
        [this](QObject*, int id) { boxSelected(id); });
}

std::vector<int> EqPage::linkedChannels() const {
    const uint32_t model = edit_.modelCode();
    const int count = side_ == cmd::Side::Input ? inputCount(model) : outputCount(model);
    std::vector<int> linked;
    for (int i = 0; i < count; ++i)
        if ((linkMask_ >> i & 1) && i + 1 != channel_) linked.push_back(i + 1);
    return linked;
}

const EqPoint& EqPage::imagePoint(int n) const {
    const ModeRecord& r = edit_.image().record();
    return side_ == cmd::Side::Input ? r.input(channel_ - 1).point(n)
                                     : r.output(channel_ - 1).point(n);
}

uint8_t EqPage::eqSwitch() const {
    const ModeRecord& r = edit_.image().record();
    return side_ == cmd::Side::Input ? r.input(channel_ - 1).eqSwitch()
                                     : r.output(channel_ - 1).eqSwitch();
}

void EqPage::selectChannel(int channel, int linkMask, bool reload) {
    channel_ = channel;
    linkMask_ = linkMask;
    if (reload) loadFromImage();
}

void EqPage::showMeters(const ModeImage& image) {
    meter_->setLevel(side_ == cmd::Side::Input ? image.inputMeter(channel_ - 1)
                                               : image.outputMeter(channel_ - 1));
}

QString EqPage::summaryText(int n, const EqPoint& point) {
    const char* types[] = {QT_TR_NOOP("PEQ"), QT_TR_NOOP("LS"), QT_TR_NOOP("HS")};
    return tr("EQPoint: %1    Type: %2     Gain: %3 dB     Freq: %4Hz     Q: %5")
        .arg(QString::asprintf("%2d", n + 1), tr(types[std::min<int>(point.type, 2)]),
             signedDbText(eqGainDb(point.gain)).chopped(3),
             QString::asprintf("%.1f", double{FreqTable[point.freq]}), qText(point.q));
}

void EqPage::describe(int n) {
    described_ = n;
    summary_->setText(summaryText(n, imagePoint(n)));
}

// The controls of column n show the point.
void EqPage::showPoint(int n, const EqPoint& p) {
    gainBox(n)->setText(signedDbText(eqGainDb(p.gain)));
    fader(n)->setCode(p.gain);
    typeSelector(n)->setType(p.type);
    freqBox(n)->setText(freqText(p.freq));
    qBox(n)->setText(qText(p.q));
    qBox(n)->setEnabled(p.type == 0);
}

void EqPage::sendPoint(int n, const EqPoint& point) {
    edit_.setGroupEqPoint(channelId(), n, point, linkedChannels());
    view_->setPoint(n, point);
}

void EqPage::loadView() {
    std::vector<EqPoint> points;
    for (int n = 0; n < points_; ++n) points.push_back(imagePoint(n));
    view_->setPoints(points);
    view_->setBypass(eqSwitch() != 0);
}

void EqPage::loadFromImage() {
    for (int n = 0; n < points_; ++n) showPoint(n, imagePoint(n));
    loadView();
    view_->recomputeAll();
    view_->redraw();
    describe(described_);
}

void EqPage::showChanged(const std::vector<ParamEdit::Subject>& params) {
    bool shown = false;
    for (const ParamEdit::Subject& p : params) {
        if (!(p.channel == channelId())) continue;
        shown = true;
        if (p.code == param::kEqPoint && p.point < points_) {
            showPoint(p.point, imagePoint(p.point));
            view_->setPoint(p.point, imagePoint(p.point));
            view_->recomputeRow(p.point);
        } else if (p.code == param::kEqSwitch) {
            view_->setBypass(eqSwitch() != 0);
            view_->recomputeAll();
        } else if (p.code == param::kHighPass || p.code == param::kLowPass) {
            showFilter(p.code);
            view_->recomputeRow(p.code == param::kHighPass ? kHighPassBox : kLowPassBox);
        }
    }
    if (!shown) return;
    view_->redraw();
    describe(described_);
}

void EqPage::faderMoved(int n, int code, float db) {
    if (n < 0 || n >= points_) return;
    gainBox(n)->setText(signedDbText(db));
    EqPoint p = imagePoint(n);
    p.gain = static_cast<uint8_t>(code);
    sendPoint(n, p);
    view_->setSelected(n);
    view_->recomputeRow(n);
    view_->redraw();
    describe(n);
}

void EqPage::neighbour(int n, int direction) {
    const int next = direction == 0 ? n - 1 : n + 1;
    if (next < 0 || next >= points_) return;
    fader(next)->setFocus(Qt::OtherFocusReason);
    fader(next)->update();
    view_->setSelected(next);
    view_->redraw();
}

void EqPage::typeChanged(int n, int type) {
    if (n < 0 || n >= points_) return;
    EqPoint p = imagePoint(n);
    p.type = static_cast<uint8_t>(type);
    sendPoint(n, p);
    view_->recomputeRow(n);
    view_->setSelected(n);
    view_->redraw();
    describe(n);
    qBox(n)->setEnabled(type == 0);
}

void EqPage::gainTyped(int n, const QString& text) {
    if (n < 0 || n >= points_) return;
    const auto typed = typedPoint(n, gainBox(n), text, ValueUnit::Decibel);
    if (!typed) return;
    const Quantized gain = QuantizeEqGain(*typed);
    fader(n)->setValue(gain.value);
    view_->setSelected(n);
    putTyped(n, gainBox(n), signedDbText(gain.value), [&](EqPoint& p) { p.gain = gain.code; });
    tellLimits(gainBox(n), text, *typed, eqGainDb(0), eqGainDb(kEqGainCodeMax));
}

void EqPage::freqTyped(int n, const QString& text) {
    if (n < 0 || n >= points_) return;
    const auto typed = typedPoint(n, freqBox(n), text, ValueUnit::Hertz);
    if (!typed) return;
    const Quantized freq = QuantizeFreq(*typed);
    putTyped(n, freqBox(n), freqText(freq.code), [&](EqPoint& p) { p.freq = freq.code; });
    tellLimits(freqBox(n), text, *typed, FreqTable.front(), FreqTable.back());
}

void EqPage::qTyped(int n, const QString& text) {
    if (n < 0 || n >= points_) return;
    const auto typed = typedPoint(n, qBox(n), text, ValueUnit::None);
    if (!typed) return;
    const Quantized q = QuantizeQ(*typed);
    putTyped(n, qBox(n), qText(q.code), [&](EqPoint& p) { p.q = q.code; });
    tellLimits(qBox(n), text, *typed, eqQ(0), eqQ(kEqQCodeMax));
}

std::optional<double> EqPage::typedPoint(int n, CQelText* box, const QString& text,
                                         ValueUnit unit) {
    return typedValue(box, text, unit, [this, n] { showPoint(n, imagePoint(n)); });
}

void EqPage::putTyped(int n, CQelText* box, const QString& shown,
                      const std::function<void(EqPoint&)>& set) {
    box->setText(shown);
    EqPoint p = imagePoint(n);
    set(p);
    sendPoint(n, p);
    view_->recomputeRow(n);
    view_->redraw();
    if (described_ == n) describe(n);
}

void EqPage::boxSelected(int n) {
    if (n < 0 || n >= points_) return;
    view_->setSelected(n);
    view_->recomputeRow(n);
    view_->redraw();
    describe(n);
}

void EqPage::viewMoved(int point, int freqCode, int gainCode, int qCode) {
    if (point < 0 || point >= points_) return;
    EqPoint p = imagePoint(point);
    p.freq = static_cast<uint8_t>(freqCode);
    p.gain = static_cast<uint8_t>(gainCode);
    p.q = static_cast<uint8_t>(qCode);
    gainBox(point)->setText(signedDbText(eqGainDb(p.gain)));
    fader(point)->setCode(p.gain);
    freqBox(point)->setText(freqText(p.freq));
    qBox(point)->setText(qText(p.q));
    sendPoint(point, p);
    describe(point);
}

void EqPage::resetClicked() {
    const MsgAnswer answer = showMessage(this, tr("确定要重置 EQ 吗 ?"), QStringLiteral("Quellmar"),
                                         MsgIcon::Question, MsgButtons::YesNo);
    if (answer != MsgAnswer::Yes) return;
    std::vector<EqPoint> points;
    for (float hz : defaults_)
        points.push_back({0, kEqGainCodeZeroDb, QuantizeFreq(hz).code, kResetQCode});
    edit_.resetEq(channelId(), points);
    for (int n = 0; n < points_; ++n) showPoint(n, points[static_cast<size_t>(n)]);
    view_->setPoints(points);
    view_->recomputeAll();
    view_->redraw();
    describe(described_);
}

void EqPage::passClicked() {
    const uint8_t on = eqSwitch() ? 0 : 1;
    edit_.setEqSwitch(channelId(), on, linkedChannels());
    view_->setBypass(on != 0);
    view_->recomputeAll();
    view_->redraw();
}

}  // namespace qel

namespace qel {

QString EqPage::channelText() const {
    return side_ == cmd::Side::Input ? tr("输入 %1").arg(QChar('A' + channel_ - 1))
                                     : tr("输出 %1").arg(channel_);
}

bool EqPage::exportFilters(const QString& path, EqTextFormat format) {
    const cmd::ChannelId ch = channelId();
    const EqExport text =
        exportMeasurementEq(edit_.image().record(), ch, format,
                            measurementTitle(edit_.modelCode(), edit_.unit().deviceName(), ch));
    return EqTextExport::save(this, path, text, channelText());
}

void EqPage::chooseFilterFile() {
    const QString path = EqTextExport::chooseImportFile(this, configPath());
    if (!path.isEmpty()) importFilters(path);
}

QString EqPage::configPath() const {
    const auto* editor = qobject_cast<const CQelEquipmentDlg*>(window());
    return editor ? editor->host().configPath() : QString();
}

bool EqPage::importFilters(const QString& path) {
    const QString quellmar = QStringLiteral("Quellmar");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(this, tr("无法读取文件 %1:\n%2").arg(path, file.errorString()), quellmar);
        return false;
    }
    const QString channelText = this->channelText();
    const MeasurementEq eq = parseMeasurementEq(file.readAll().toStdString());
    const EqFit fit = eq.ok() ? fitMeasurementEq(eq, side_) : EqFit{};
    const auto& errors = eq.ok() ? fit.errors : eq.errors;
    if (!errors.empty()) {
        QStringList lines;
        for (const auto& e : errors) lines << MeasurementWords::text(e, channelText);
        showMessage(this, tr("无法使用文件 %1:\n%2").arg(path, lines.join(QLatin1Char('\n'))),
                    quellmar);
        return false;
    }
    if (fit.filters.empty() && !fit.highPass && !fit.lowPass) {
        showMessage(this, tr("文件 %1 中没有打开的滤波器。").arg(path), quellmar);
        return false;
    }
    QStringList report;
    for (size_t i = 0; i < fit.filters.size(); ++i) report << filterLine(i, fit.filters[i]);
    for (const auto& c : {fit.highPass, fit.lowPass})
        if (c) report << crossoverLine(*c);
    report << tr("取整到设备的步进后, 20 Hz 到 20 kHz 之间的响应最多改变 %1 dB (在 %2 Hz)。")
                  .arg(QString::asprintf("%.2f", std::fabs(fit.worstDb)),
                       QString::asprintf("%.0f", fit.worstHz));
    report << otherLines(eq);
    report << QString()
           << tr("要把这些滤波器用在 %1 吗 ? 其余的点设为 0 dB, EQ 打开。").arg(channelText);
    if (showMessage(this, report.join(QLatin1Char('\n')), quellmar, MsgIcon::Question,
                    MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;

    // The channel and those linked with it, as one edit: one undo step takes it all back.
    edit_.importEq(channelId(), fit, linkedChannels());
    loadFromImage();
    return true;
}

}  // namespace qel
