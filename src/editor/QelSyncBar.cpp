// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/QelSyncBar.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>

#include "controls/ControlStyle.h"
#include "controls/MessageBoxes.h"
#include "controls/QelBtn.h"
#include "controls/QelTitle.h"
#include "device/DownloadVerify.h"
#include "device/EventLog.h"
#include "device/ModeImage.h"
#include "device/UnitSession.h"
#include "editor/EditorHost.h"
#include "editor/QelEquipmentDlg.h"
#include "link/Equipment.h"
#include "ui/EditWords.h"
#include "ui/LinkErrorWords.h"
#include "ui/QelConnectDlg.h"

namespace qel {

namespace {
constexpr int kButtonGap = 4, kButtonY = 3, kTextGap = 6, kChannelGap = 4;
constexpr int kShownDifferences = 8;
const QString kQuellmar = QStringLiteral("Quellmar");
}  // namespace

CQelSyncBar::CQelSyncBar(CQelEquipmentDlg& editor, CQelTitle* strip)
    : QWidget(strip), editor_(editor), strip_(strip) {
    setObjectName(QStringLiteral("Qel.CQelSyncBar"));
    setFont(controlFont(13));
    button_ = new CQelBtn(this);
    button_->setObjectName(QStringLiteral("Qel.SyncButton"));
    button_->resize(buttonWidth(), button_->height());
    button_->setCallback(this, 0, [this](QObject*, int, int) {
        if (state_ == State::Lost || state_ == State::NotAnswering)
            reconnect();
        else
            resync();
    });
    setVisible(false);
    place();
}

// As wide as its longest text needs (a count up to 999), at least its skin's width.
int CQelSyncBar::buttonWidth() const {
    const QFontMetrics m(button_->font());
    int text = 0;
    for (const QString& t : {tr("重连"), tr("同步"), tr("同步 %1").arg(999)})
        text = std::max(text, m.horizontalAdvance(t));
    return std::max(button_->width(), text + 2 * CQelSkinButton::kTextMargin);
}

int CQelSyncBar::buttonRoom() const {
    return kButtonGap + button_->width();
}

void CQelSyncBar::place() {
    int left = kX;
    if (const int channels = strip_->channelCount())
        left = std::max(left, strip_->channelRect(channels - 1).right() + 1 + kChannelGap);
    left = std::min(left, kRight - buttonRoom());
    const QRect room(left, 0, kRight - left, strip_->height());
    if (room == geometry()) return;
    setGeometry(room);
    labelButton();
}

void CQelSyncBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    button_->move(width() - button_->width(), kButtonY);
}

bool CQelSyncBar::narrow() const {
    return fontMetrics().horizontalAdvance(text_) > width() - buttonRoom() - kTextGap;
}

void CQelSyncBar::labelButton() {
    if (state_ == State::Lost || state_ == State::NotAnswering)
        button_->setText(tr("重连"));
    else if (state_ == State::Unconfirmed && narrow())
        button_->setText(tr("同步 %1").arg(count_));
    else
        button_->setText(tr("同步"));
}

void CQelSyncBar::refresh() {
    if (acting_) return;
    place();
    Equipment& unit = editor_.unit();
    const uint32_t count = unit.unconfirmedWrites();
    count_ = count;
    if (unit.hasFlag(linkflag::kStop))
        present(State::Lost, tr("连接已断开"),
                tr("设备的连接已断开。\n\"重连\" 重新连接设备, 读取它的设置并与编辑器比较, "
                   "然后由您决定保留哪一方。"));
    else if (unit.notAnswering())
        present(State::NotAnswering, tr("设备无响应"),
                tr("设备没有应答, 此时的修改计为未确认。\n设备再应答时这里会恢复; "
                   "\"重连\" 重新连接设备并与编辑器比较。"));
    else if (count > 0)
        present(State::Unconfirmed, tr("未确认的修改: %1").arg(count),
                tr("%1 个修改没有得到设备的确认, 设备可能与屏幕不同。\n"
                   "\"同步\" 把编辑器的设置写入设备并读回验证。")
                    .arg(count));
    else if (unit.knownDifferent())
        present(State::Differs, tr("设备与编辑器不同"),
                tr("设备的设置与编辑器不同。\n\"同步\" 把编辑器的设置写入设备并读回验证。"));
    else
        present(State::Quiet, {}, {});
}

void CQelSyncBar::present(State state, const QString& text, const QString& tip) {
    if (state == state_ && text == text_) return;
    state_ = state;
    text_ = text;
    setToolTip(tip);
    button_->setToolTip(tip);
    labelButton();
    setVisible(state != State::Quiet);
    update();
}

namespace {

// The parameters on which the unit and the editor disagree, each with both values, cut after
// the first few.
QString differenceLines(const std::vector<VerifyDifference>& differences, const ModeRecord& unit,
                        const ModeRecord& editor, uint32_t model) {
    QStringList lines;
    const int count = static_cast<int>(differences.size());
    for (int i = 0; i < std::min(count, kShownDifferences); ++i) {
        const DownloadParam& p = differences[static_cast<size_t>(i)].param;
        const ParamEdit::Subject subject{p.code, {p.side, p.channel + 1}, p.point};
        lines << CQelSyncBar::tr("设备: %1\n  编辑器: %2")
                     .arg(EditWords::label(subject, unit, model),
                          EditWords::label(subject, editor, model));
    }
    if (count > kShownDifferences)
        lines << CQelSyncBar::tr("... 另有 %1 处").arg(count - kShownDifferences);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString CQelSyncBar::failureText(const VerifyReport* report, uint32_t modelCode) {
    if (!report) return tr("设备没有应答。");
    if (report->outcome == VerifyOutcome::ReadFailed) return tr("无法读回设备的设置。");
    return tr("重发 %1 轮后仍有 %2 处不同:\n%3")
        .arg(report->rounds)
        .arg(report->differences.size())
        .arg(differenceLines(report->differences, report->unit, report->wanted, modelCode));
}

void CQelSyncBar::resync() {
    acting_ = true;
    std::shared_ptr<const VerifyReport> report;
    const auto result = editor_.writeImageVerified(report);
    if (EventLog* log = editor_.host().events())
        log->transfer(editor_.unit(), EventRecord::kSync, result);
    acting_ = false;
    refresh();
    if (result != UnitTransfer::Result::Success && result != UnitTransfer::Result::Cancelled)
        showMessage(&editor_,
                    tr("同步没有成功, 设备与编辑器仍然不同:\n%1")
                        .arg(failureText(report.get(), editor_.unit().modelCode())),
                    kQuellmar);
}

void CQelSyncBar::reconnect() {
    editor_.host().runGuarded([this] { takeUpLink(); });
}

void CQelSyncBar::takeUpLink() {
    Equipment& unit = editor_.unit();
    UnitSession& session = editor_.session();
    session.stopReconnecting();  // the desk takes the link up itself
    const auto sayBusy = [&] {
        showMessage(&editor_, tr("设备正忙: %1").arg(session.holder()), kQuellmar);
    };
    if (session.busy()) return sayBusy();
    acting_ = true;
    editor_.holdPages(true);
    editor_.meters().stop();
    EditorHost& host = editor_.host();
    const std::shared_ptr<Equipment> shared = editor_.sharedUnit();
    bool same = true;
    // In the session's worker, which holds the unit until the read is settled.
    const auto ran = CQelConnectDlg::run(
        session, tr("重连"), CQelConnectDlg::Mode::Connect, host.linkSettings(), &editor_,
        host.progressPauseMs(), nullptr,
        [shared](UnitTransfer& transfer) {
            // The old link's threads end and a lost serial port is closed before it opens
            // again.
            shared->stopLink();
            return transfer.run(UnitTransfer::Mode::Connect);
        },
        [&](UnitTransfer::Result result) {
            if (EventLog* log = host.events()) log->transfer(unit, EventRecord::kConnect, result);
            // The read went into a new image of the unit: the session compares it with its own.
            same = result != UnitTransfer::Result::Success || session.settleRead();
            if (result != UnitTransfer::Result::Success) unit.setImage(editor_.sharedImage());
            host.unitListChanged();
            editor_.holdPages(false);
            acting_ = false;
        });
    if (!ran) {  // taken meanwhile
        editor_.holdPages(false);
        acting_ = false;
        return sayBusy();
    }
    const auto result = *ran;
    if (result != UnitTransfer::Result::Success) {
        if (result == UnitTransfer::Result::PortFailed)
            showMessage(&editor_,
                        tr("无法打开 %1:\n%2")
                            .arg(QString::fromStdString(unit.portName()),
                                 LinkErrorWords::text(unit.lastError())),
                        kQuellmar);
        refresh();
        return;
    }
    editor_.meters().start();
    editor_.linkRestored();
    if (same)
        showMessage(&editor_, tr("已重新连接设备, 设备与编辑器的设置相同。"), kQuellmar,
                    MsgIcon::Information);
    else
        askAboutDifferences();
    refresh();
}

void CQelSyncBar::askAboutDifferences() {
    UnitSession& session = editor_.session();
    const ModeImage* read = session.cameBackWith();
    if (!read || asking_) return;
    const ModeImage& image = *session.image();
    const uint32_t model = editor_.unit().modelCode();
    const auto differences = DownloadVerify::compare(image.record(), read->record(), model);
    asking_ = true;
    const MsgAnswer answer = showMessage(
        &editor_,
        tr("已重新连接设备。设备与编辑器有 %1 处不同:\n%2\n\n是: 保留编辑器的设置, "
           "写入设备并验证\n否: 采用设备的设置\n取消: 暂不改变 (稍后可用 \"同步\")")
            .arg(int(differences.size()))
            .arg(differenceLines(differences, read->record(), image.record(), model)),
        kQuellmar, MsgIcon::Question, MsgButtons::YesNoCancel);
    asking_ = false;
    if (!session.cameBackWith()) return refresh();  // chosen elsewhere meanwhile
    if (answer == MsgAnswer::No) {
        session.takeUnitsSettings();
    } else {
        session.keepSessionSettings();  // the bar keeps offering 同步
        if (answer == MsgAnswer::Yes) resync();
    }
    refresh();
}

void CQelSyncBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(state_ == State::Quiet || state_ == State::Differs ? Qt::black : QColor(176, 0, 0));
    if (!narrow())
        p.drawText(QRect(0, 0, width() - buttonRoom() - kTextGap, height()),
                   Qt::AlignRight | Qt::AlignVCenter, text_);
}

}  // namespace qel
