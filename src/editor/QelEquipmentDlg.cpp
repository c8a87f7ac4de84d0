// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/QelEquipmentDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>

#include "controls/MessageBoxes.h"
#include "controls/QelBtn.h"
#include "controls/QelTitle.h"
#include "device/ChangedParams.h"
#include "device/UnitText.h"
#include "editor/EditorHost.h"
#include "editor/EditorPage.h"
#include "editor/EqSystemDlg.h"
#include "editor/PanelDealy.h"
#include "editor/PanelEqi.h"
#include "editor/PanelEqo.h"
#include "editor/PanelGain.h"
#include "editor/PanelLimiter.h"
#include "editor/QelSyncBar.h"
#include "link/Equipment.h"
#include "resources/Skins.h"
#include "ui/EditWords.h"
#include "ui/QelConnectDlg.h"

namespace qel {

namespace {
constexpr int kAppIcon = 128;
constexpr int kTitleHeight = 24, kPageTop = 26, kPageInset = 2;
const QColor kBackground(238, 238, 238);
}  // namespace

CQelEquipmentDlg::CQelEquipmentDlg(UnitSession& session, EditorHost& host)
    : QDialog(nullptr),
      session_(session),
      unit_(session.sharedUnit()),
      edit_(session.edit()),
      host_(host) {
    setObjectName("Qel.CQelEquipmentDlg");
    connect(&session_, &UnitSession::metersChanged, this, &CQelEquipmentDlg::showMeters);
    // The session takes a lost link up again by itself; the desk is asked when the unit came
    // back with other settings (now, or when the editor shows next).
    connect(&session_, &UnitSession::linkRestored, this, &CQelEquipmentDlg::linkRestored);
    connect(&session_, &UnitSession::settingsReplaced, this, &CQelEquipmentDlg::updateAllPanels);
    connect(&session_, &UnitSession::cameBackDifferent, this, [this] {
        if (isVisible() && !syncBar_->acting()) syncBar_->askAboutDifferences();
    });
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowIcon(skin::bitmap(kAppIcon));
    title_ = new CQelTitle(this);
    title_->setGeometry(0, 0, kClientWidth, kTitleHeight);
    const uint32_t model = unit_->modelCode();
    title_->setChannelCounts(inputCount(model), outputCount(model));
    title_->setCallback(
        this, [this](QObject*, int pageId, int word, int mask) { chooseTab(pageId, word, mask); });
    const char* tabs[] = {QT_TR_NOOP("增益"), QT_TR_NOOP("延时"), QT_TR_NOOP("限制"),
                          QT_TR_NOOP("输入"), QT_TR_NOOP("输出"), QT_TR_NOOP("系统")};
    const int kinds[] = {CQelTitle::kPlain,         CQelTitle::kPlain,          CQelTitle::kPlain,
                         CQelTitle::kInputChannels, CQelTitle::kOutputChannels, CQelTitle::kPlain};
    for (int i = 0; i < 6; ++i) title_->addTab(tr(tabs[i]), kinds[i], i + 1);
    syncBar_ = new CQelSyncBar(*this, title_);
    pages_[0] = new CPanelGain(edit_, this);
    pages_[1] = new CPanelDealy(edit_, this);
    pages_[2] = new CPanelLimiter(edit_, this);
    pages_[3] = new CPanelEqi(edit_, this);
    pages_[4] = new CPanelEqo(edit_, this);
    pages_[5] = new CPanelSys(edit_, this);
    const QRect area(kPageInset, kPageTop, kClientWidth - 2 * kPageInset,
                     kClientHeight - kPageTop - kPageInset);
    for (EditorPage* p : pages_) {
        p->setGeometry(area);
        p->setVisible(p == page(kGain));
        p->setNotice([this](const QString& text) { host_.showPaneText(0, text); });
    }
    outsideEdits_ = edit_.listen([this](const ParamEdit::Result& r) {
        if (r.origin.kind != ParamEdit::Origin::Kind::Editor) showOutsideEdit(r);
    });
    // Wherever the focus is in the editor; a value box keeps the keys only while it holds
    // typing that is not committed yet.
    auto* undo = new QShortcut(EditWords::undoKey(), this);
    connect(undo, &QShortcut::activated, &history(), &EditHistory::undo);
    auto* redo = new QShortcut(this);
    redo->setKeys(EditWords::redoKeys());
    connect(redo, &QShortcut::activated, &history(), &EditHistory::redo);
    qApp->installEventFilter(this);
    createAbGroup();
    connect(&timer_, &QTimer::timeout, this, &CQelEquipmentDlg::onTimer);
    timer_.start(kTimerMs);
    updateAllPanels();
    setWindowTitle(titleFor(*unit_));
}

CQelEquipmentDlg::~CQelEquipmentDlg() {
    // Hidden while the members are whole: a value box that loses the focus then sends its
    // typing through them.
    hide();
    qApp->removeEventFilter(this);
    meterWatch_.reset();
}

QString CQelEquipmentDlg::titleFor(const Equipment& unit) {
    const QString via = unit.isVirtual() ? tr("虚拟")
                        : unit.hasFlag(linkflag::kSerial)
                            ? QString::fromStdString(unit.portName())
                            : QString::fromStdString(unit.addressText());
    return QStringLiteral("%1 : %2 (%3) - %4")
        .arg(QString::fromStdString(unit.modelName()),
             QString::fromStdString(unpaddedUnitText(unit.deviceName())), via,
             unit.hasFlag(linkflag::kEngineering) ? tr("工程模式") : tr("用户模式"));
}

QStringList CQelEquipmentDlg::statusTexts() const {
    const ModeImage& image = const_cast<ParamEdit&>(edit_).image();
    const uint32_t mode = image.currentMode();
    QString modeName;
    if (mode < static_cast<uint32_t>(ModeImage::kDeviceModes))
        modeName =
            QString::fromStdString(unpaddedUnitText(image.deviceModeName(static_cast<int>(mode))));
    return {tr("名称: %1 (%2)")
                .arg(QString::fromStdString(unpaddedUnitText(unit_->deviceName())),
                     QString::fromStdString(unit_->modelName())),
            stateText(unit_->state()), tr("模式号码:%1").arg(mode + 1),
            tr("模式名称: %1").arg(modeName)};
}

QString CQelEquipmentDlg::stateText(Equipment::State state) {
    switch (state) {
        case Equipment::State::NotConnected:
            return tr("状态:断开");
        case Equipment::State::NotAnswering:
            return tr("状态:无响应");
        case Equipment::State::Online:
            break;
    }
    return tr("状态:在线");
}

void CQelEquipmentDlg::leave() {
    hide();
    meters().stop();
    timer_.stop();
}

void CQelEquipmentDlg::updateAllPanels() {
    for (int id = kGain; id <= kOutputEq; ++id) page(id)->loadFromImage();
}

void CQelEquipmentDlg::showOutsideEdit(const ParamEdit::Result& result) {
    const auto params = changedParams(result.changes);
    if (params.empty()) return;
    for (int id = kGain; id <= kOutputEq; ++id) page(id)->showChanged(params);
}

void CQelEquipmentDlg::fullTransferDone() {
    updateAllPanels();
    history().clear();
}

void CQelEquipmentDlg::createAbGroup() {
    const char* texts[] = {QT_TR_NOOP("存 A"), QT_TR_NOOP("存 B"), ""};
    const char* tips[] = {
        QT_TR_NOOP("把当前设置存为 A"), QT_TR_NOOP("把当前设置存为 B"),
        QT_TR_NOOP("在 A 和 B 之间切换: 当前设置留在当前一方, 设备只收到不同的参数")};
    for (int i = 0; i < 3; ++i) {
        ab_[i] = new CQelBtn(title_);
        ab_[i]->setGeometry(kAbX + 52 * i, 3, 48, 18);
        ab_[i]->setText(tr(texts[i]));
        ab_[i]->setToolTip(tr(tips[i]));
    }
    ab_[0]->setCallback(this, 0, [this](QObject*, int, int) { history().store(EditHistory::kA); });
    ab_[1]->setCallback(this, 1, [this](QObject*, int, int) { history().store(EditHistory::kB); });
    ab_[2]->setCallback(this, 2, [this](QObject*, int, int) { history().switchAb(); });
    connect(&history(), &EditHistory::abChanged, this, &CQelEquipmentDlg::showAb);
    showAb();
}

void CQelEquipmentDlg::showAb() {
    const bool a = history().current() == EditHistory::kA;
    ab_[2]->setText(a ? tr("切到 B") : tr("切到 A"));
    ab_[2]->setEnabled(history().stored(a ? EditHistory::kB : EditHistory::kA));
    ab_[2]->update();
}

bool CQelEquipmentDlg::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    const bool press =
        type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
        (type == QEvent::KeyPress && !static_cast<QKeyEvent*>(event)->isAutoRepeat());
    if (press && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this)
        history().newGesture();
    return QDialog::eventFilter(watched, event);
}

void CQelEquipmentDlg::showPage(int id) {
    if (id < kGain || id > kSystem) return;
    page(id)->show();
    if (id != current_) page(current_)->hide();
    current_ = id;
    trackScreen();
    title_->selectTab(id - 1);
    syncBar_->place();  // the channel buttons of the tab may take some of its room
}

void CQelEquipmentDlg::chooseTab(int pageId, int word, int mask) {
    const int channel = word & 0xFF, linked = (word >> 8) & 0xFF;
    if (pageId == kInputEq || pageId == kOutputEq) {
        const auto side = pageId == kInputEq ? cmd::Side::Input : cmd::Side::Output;
        if (linked) {
            page(pageId)->selectChannel(channel, mask, false);
            edit_.copyEq({side, linked}, channel);
        } else if (pageId == current_) {
            page(pageId)->selectChannel(channel, mask, true);
        }
    }
    showPage(pageId);
}

CEqSystemDlg* CQelEquipmentDlg::systemDlg() const {
    return static_cast<CPanelSys*>(page(kSystem))->systemDlg();
}

void CQelEquipmentDlg::holdPages(bool hold) {
    for (EditorPage* p : pages_) p->setEnabled(!hold);
}

UnitTransfer::Result CQelEquipmentDlg::writeImageVerified(
    std::shared_ptr<const VerifyReport>& report) {
    holdPages(true);
    unit_->setImage(sharedImage());  // the download sends the unit's image: this one
    unit_->setFlags(linkflag::kMeterPaused);
    const auto result = runTransfer(CQelConnectDlg::Mode::Download, this, &report);
    unit_->clearFlags(linkflag::kMeterPaused);
    holdPages(false);
    syncBar_->refresh();
    return result;
}

UnitTransfer::Result CQelEquipmentDlg::runTransfer(CQelConnectDlg::Mode mode, QWidget* over,
                                                   std::shared_ptr<const VerifyReport>* report) {
    session_.stopReconnecting();
    const auto result =
        CQelConnectDlg::run(session_, CQelConnectDlg::titleFor(mode).trimmed(), mode,
                            host_.linkSettings(), over, host_.progressPauseMs(), report);
    if (!result)
        showMessage(over, tr("设备正忙: %1").arg(session_.holder()), QStringLiteral("Quellmar"));
    return result.value_or(UnitTransfer::Result::Cancelled);
}

void CQelEquipmentDlg::linkRestored() {
    lostShown_ = false;
    setWindowTitle(titleFor(*unit_));
    syncBar_->refresh();
    emit statusChanged(this);
}

void CQelEquipmentDlg::onTimer() {
    syncBar_->refresh();
    if (const auto state = unit_->state(); state != shownState_) {
        shownState_ = state;
        emit statusChanged(this);
    }
    if (lostShown_ || !unit_->hasFlag(linkflag::kStop)) return;
    lostShown_ = true;
    showMessage(this, tr("设备已经断开!"), QStringLiteral("Quellmar"));
}

void CQelEquipmentDlg::showMeters() {
    // The session hands over a frame at most 25 times a second; the display passes due by
    // now are run as it is read.
    const auto display = meters().display();
    edit_.image().setMeters(display.data());
    page(current_)->showMeters(edit_.image());
}

void CQelEquipmentDlg::trackScreen() {
    // The system page shows no meters: they rest meanwhile.
    if (!isVisible() || isMinimized() || current_ == kSystem)
        meterWatch_.reset();
    else if (!meterWatch_)
        meterWatch_ = session_.watchMeters(kMeterRate, UnitSession::MeterUse::DisplayPasses);
}

void CQelEquipmentDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    trackScreen();
    if (session_.cameBackWith())
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && !syncBar_->acting()) syncBar_->askAboutDifferences();
        });
}

void CQelEquipmentDlg::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    trackScreen();
    // A hidden editor gives back its window and the picture behind it (about 2 MB); showing
    // it again makes new ones.
    if (event->spontaneous()) return;
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() && testAttribute(Qt::WA_WState_Created)) destroy();
    });
}

void CQelEquipmentDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) trackScreen();
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        emit activated(this);
        systemDlg()->refresh();
    }
}

void CQelEquipmentDlg::closeEvent(QCloseEvent* event) {
    // Closing only hides. (A close that went through would let the window system's part go
    // but leave the picture behind, which hideEvent could then no longer give back.)
    event->ignore();
    CQelConnectDlg* transfer = CQelConnectDlg::running(unit_.get());
    if (!transfer) {
        hide();
        return;
    }
    // This window is held while its unit's download runs: the question goes on the transfer's.
    if (showMessage(transfer, tr("正在向设备传输数据。要取消传输吗 ?"), QStringLiteral("Quellmar"),
                    MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    // Hidden once the download has stopped and this window is no longer held.
    connect(transfer, &QObject::destroyed, this,
            [this] { QTimer::singleShot(0, this, &QWidget::hide); });
    transfer->requestCancel();
}

void CQelEquipmentDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
}

}  // namespace qel
