// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/MainFrame.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <set>

#include "controls/MessageBoxes.h"
#include "device/UnitText.h"
#include "device/UnitTransfer.h"
#include "driverpkg/install/UsbDriverInstall.h"
#include "editor/PanelGain.h"
#include "editor/PresetTransfer.h"
#include "editor/QelEquipmentDlg.h"
#include "netsetup/PcAddressSetup.h"
#include "netsetup/dialogs/EqNetConfigDlg.h"
#include "netsetup/dialogs/LocalAddressDlg.h"
#include "platform/Clock.h"
#include "platform/Language.h"
#include "remote/OscServer.h"
#include "remote/RemoteHub.h"
#include "remote/dialog/RemoteDlg.h"
#include "resources/Skins.h"
#include "shell/AboutDlg.h"
#include "shell/AddVirtualDlg.h"
#include "shell/AlarmsDlg.h"
#include "shell/ClientWnd.h"
#include "shell/FrameRemoteUnits.h"
#include "shell/EventLogDlg.h"
#include "shell/GroupsDlg.h"
#include "shell/InitSearchDlg.h"
#include "shell/MyStatusBar.h"
#include "shell/MyToolBar.h"
#include "shell/QelBarEq.h"
#include "shell/QelEqMgr.h"
#include "shell/QelEqPanel.h"
#include "shell/QuellmarApp.h"
#include "shell/ShowFiles.h"
#include "shell/WindowPlacement.h"
#include "ui/BusyRun.h"
#include "ui/EditWords.h"
#include "ui/PresetIssueWords.h"
#include "ui/QelConnectDlg.h"

namespace qel {

namespace {

constexpr int kAppIcon = 128;
constexpr uint32_t kShutdownNoticeMs = 320, kShutdownPauseMs = 400, kDisconnectPauseMs = 1000;
constexpr int kSizingSettleMs = 150;
constexpr const char* kLayoutKey = "qel.Panel-Layout/state";

const char* kPromptSearch =
    QT_TRANSLATE_NOOP("qel::CMainFrame", "Search Equipment ( UDP / USB )\nSearch");
const char* kPromptNetwork =
    QT_TRANSLATE_NOOP("qel::CMainFrame", "NetWork Options\nNetWork Options");
const char* kPromptDisconnect =
    QT_TRANSLATE_NOOP("qel::CMainFrame", "Disconnect the selected equipment\nDisconnect");
const char* kPromptAbout = QT_TRANSLATE_NOOP("qel::CMainFrame", "Help and About");

}  // namespace

CMainFrame::CMainFrame(CQuellmarApp& app, QWidget* parent)
    : QMainWindow(parent), app_(app), showFiles_(std::make_unique<ShowFiles>(app, *this)) {
    setObjectName("Qel.CMainFrame");
    setWindowIcon(skin::bitmap(kAppIcon));
    client_ = new CClientWnd(this);
    setCentralWidget(client_);
    createToolBar();
    createStatusBar();
    createPanel();
    createMenus();
    setMinimumSize(kMinWidth, kMinHeight);
    if (!app_.openEndpoint())
        showMessage(this, tr("错误: UDP 端口 %1 被占用 !").arg(app_.options().localPort),
                    "Quellmar", MsgIcon::Information);
    app_.loadModeFiles();
    // Whoever opened a session (the desk, a remote client), the undo commands follow its
    // history, and an editor, a view of it, goes with it.
    connect(&app_.sessions(), &UnitSessions::opened, this, [this](UnitSession* session) {
        connect(&session->history(), &EditHistory::changed, this, &CMainFrame::showUndoState);
        repaintEquipmentList();
    });
    connect(&app_.sessions(), &UnitSessions::closing, this, [this](UnitSession* session) {
        editors_.erase(&session->unit());
        repaintEquipmentList();
    });
    startRemote();
    app_.events().setClientNames(
        [this](int client) { return remote_ ? remote_->clientLabel(client) : QString(); });
    connect(&app_.events(), &EventLog::writeFailed, this, [this](const QString& why) {
        statusBar_->setPaneText(0, tr("事件日志无法写入: %1").arg(why));
    });
    app_.editCounts().setOriginText(
        [this](const ParamEdit::Origin& origin) { return app_.events().originText(origin); });
    // Alarms: a red pane with their count, red rows in the list.
    const auto showAlarms = [this] {
        statusBar_->setAlarms(app_.alarms().count(), app_.alarms().newCount());
        panel_->dialog()->equipmentPage()->list()->alarmsChanged();
    };
    connect(&app_.alarms(), &Alarms::changed, this, showAlarms);
    connect(statusBar_, &CMyStatusBar::alarmsPressed, this, &CMainFrame::openAlarms);
    panel_->dialog()->equipmentPage()->list()->setAlarmCount(
        [this](const Equipment& unit) { return int(app_.alarms().of(unit).size()); });
    showAlarms();
    if (!app_.groupsProblem().isEmpty())
        statusBar_->setPaneText(0,
                                tr("编组文件有错误, 未使用也未改动: %1").arg(app_.groupsProblem()));
    restoreVirtualUnits();
    startTimer_.setInterval(kStartDelayMs);
    connect(&startTimer_, &QTimer::timeout, this, &CMainFrame::onStartTimer);
    startTimer_.start();
    sizingTimer_.setSingleShot(true);
    sizingTimer_.setInterval(kSizingSettleMs);
    connect(&sizingTimer_, &QTimer::timeout, this, [this] { client_->setSizing(false); });
}

CMainFrame::~CMainFrame() {
    app_.events().setClientNames({});  // the hub goes with the window
    app_.editCounts().setOriginText({});
    saveBarLayout();
}

QAction* CMainFrame::action(int commandId) const {
    auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::createToolBar() {
    toolBar_ = new CMyToolBar(tr("Tool Bar"), this);
    toolBar_->setObjectName("Qel.CMyToolBar");
    actions_[command::kSearchTool] =
        toolBar_->addCommand(command::kSearchTool, 158, tr(kPromptSearch));
    toolBar_->addSeparator();
    actions_[command::kNetworkTool] =
        toolBar_->addCommand(command::kNetworkTool, 157, tr(kPromptNetwork));
    actions_[command::kDisconnect] =
        toolBar_->addCommand(command::kDisconnect, 160, tr(kPromptDisconnect));
    toolBar_->addSeparator();
    actions_[command::kAboutTool] =
        toolBar_->addCommand(command::kAboutTool, 156, tr(kPromptAbout));
    addToolBar(Qt::TopToolBarArea, toolBar_);
    connect(actions_[command::kSearchTool], &QAction::triggered, this, &CMainFrame::runSearch);
    connect(actions_[command::kDisconnect], &QAction::triggered, this,
            &CMainFrame::disconnectActive);
    connect(actions_[command::kAboutTool], &QAction::triggered, this, &CMainFrame::showAbout);
    connect(actions_[command::kNetworkTool], &QAction::triggered, this,
            &CMainFrame::openNetworkSettings);
}

void CMainFrame::createStatusBar() {
    statusBar_ = new CMyStatusBar(this);
    statusBar_->setObjectName("Qel.CMyStatusBar");
    setStatusBar(statusBar_);
    statusBar_->setPaneInfo(1, 120, true);
    statusBar_->setPaneInfo(2, 92, false);
    statusBar_->setPaneInfo(3, 64, false);
    statusBar_->setPaneInfo(4, 110, false);
    statusBar_->turnOnSkin();
}

void CMainFrame::createPanel() {
    panel_ = new CQelEqPanel(app_.equipment(), this);
    addDockWidget(Qt::LeftDockWidgetArea, panel_);
    panel_->loadState(CQelEqPanel::kProfileName);
    QSettings profile(CSizingControlBar::kProfileOrganisation,
                      CSizingControlBar::kProfileApplication);
    const QByteArray layout = profile.value(kLayoutKey).toByteArray();
    if (!layout.isEmpty()) restoreState(layout);  // ignored when it does not fit the bars
    CQelBarEq* page = panel_->dialog()->equipmentPage();
    page->setSearchHandler([this] { runSearch(); });
    page->list()->setOpenHandler(
        [this](QWidget*, const EquipmentList::Entry& unit) { openUnit(unit); });
    connect(page->list(), &CQelEqMgr::rowsChanged, this, &CMainFrame::fitEquipmentList);
}

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setData(id);
    actions_[id] = a;
    return a;
}

void CMainFrame::createMenus() {
    QMenu* equipment = menuBar()->addMenu(tr("设备(&E)"));
    connect(addCommand(equipment, command::kSearch, tr("搜索设备(&S)")), &QAction::triggered, this,
            &CMainFrame::runSearch);
    connect(addCommand(equipment, command::kLocalAddress, tr("修改 PC &IP")), &QAction::triggered,
            this, [this] { CLocalAddressDlg(app_.configPath(), this).exec(); });
    connect(addCommand(equipment, command::kNetwork, tr("设备网络设置(&W)")), &QAction::triggered,
            this, &CMainFrame::openNetworkSettings);
    connect(addCommand(equipment, command::kRemote, tr("远程控制...")), &QAction::triggered, this,
            [this] { RemoteDlg(*remote_, app_.configPath(), this).exec(); });
    QAction* autoIp = addCommand(equipment, command::kAutoIp, tr("自动设置IP地址"));
    autoIp->setCheckable(true);
    autoIp->setChecked(
        QSettings(app_.configPath(), QSettings::IniFormat).value("NetConfig/AutoIP", 1).toInt() !=
        0);
    connect(autoIp, &QAction::triggered, this, &CMainFrame::toggleAutoIp);
    equipment->addSeparator();
    connect(addCommand(equipment, command::kAddVirtual, tr("添加虚拟设备...")), &QAction::triggered,
            this, &CMainFrame::addVirtualUnit);
    connect(addCommand(equipment, command::kRemoveVirtual, tr("删除虚拟设备")), &QAction::triggered,
            this, &CMainFrame::removeVirtualUnit);
    connect(addCommand(equipment, command::kGroups, tr("编组...")), &QAction::triggered, this,
            &CMainFrame::openGroups);
    connect(addCommand(equipment, command::kEventLog, tr("事件日志...")), &QAction::triggered,
            this, &CMainFrame::openEventLog);
    connect(addCommand(equipment, command::kAlarms, tr("报警设置...")), &QAction::triggered, this,
            &CMainFrame::openAlarms);
    equipment->addSeparator();
    connect(addCommand(equipment, command::kSaveShow, tr("保存演出文件...")), &QAction::triggered,
            this, [this] { showFiles_->chooseSave(); });
    connect(addCommand(equipment, command::kOpenShow, tr("打开演出文件...")), &QAction::triggered,
            this, [this] { showFiles_->chooseOpen(); });
    equipment->addSeparator();
    // Undo and redo of the active unit; the texts name the step.
    undo_ = equipment->addAction(tr("撤销"));
    undo_->setShortcut(EditWords::undoKey());
    redo_ = equipment->addAction(tr("重做"));
    redo_->setShortcuts(EditWords::redoKeys());
    const auto activeHistory = [this]() -> EditHistory* {
        const auto unit = activeUnit();
        UnitSession* session = unit ? app_.sessions().of(*unit) : nullptr;
        return session ? &session->history() : nullptr;
    };
    connect(undo_, &QAction::triggered, this, [activeHistory] {
        if (EditHistory* h = activeHistory()) h->undo();
    });
    connect(redo_, &QAction::triggered, this, [activeHistory] {
        if (EditHistory* h = activeHistory()) h->redo();
    });
    showUndoState();
    equipment->addSeparator();
    // Presets act on the active editor.
    QAction* exportPreset = addCommand(equipment, command::kExportPreset, tr("导出..."));
    QAction* importPreset = addCommand(equipment, command::kImportPreset, tr("导入..."));
    connect(exportPreset, &QAction::triggered, this, [this] { presetCommand(false); });
    connect(importPreset, &QAction::triggered, this, [this] { presetCommand(true); });
    connect(equipment, &QMenu::aboutToShow, this, [this, exportPreset, importPreset] {
        const bool open = activeEditor() != nullptr;
        exportPreset->setEnabled(open);
        importPreset->setEnabled(open);
    });
    equipment->addSeparator();
    connect(addCommand(equipment, command::kExit, tr("退出(&E)")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* view = menuBar()->addMenu(tr("视图(&V)"));
    const std::pair<int, QWidget*> bars[] = {{command::kViewToolBar, toolBar_},
                                             {command::kViewStatus, statusBar_},
                                             {command::kViewPanel, panel_}};
    const QString texts[] = {tr("工具栏(&T)"), tr("状态栏(&S)"), tr("设备栏(&E)")};
    for (int i = 0; i < 3; ++i) {
        QAction* a = addCommand(view, bars[i].first, texts[i]);
        QWidget* bar = bars[i].second;
        a->setCheckable(true);
        a->setChecked(true);
        connect(a, &QAction::triggered, bar, &QWidget::setVisible);
        connect(view, &QMenu::aboutToShow, a, [a, bar] { a->setChecked(bar->isVisible()); });
    }
    view->addSeparator();
    addLanguageMenu(view);
    QMenu* driver = menuBar()->addMenu(tr("驱动(&D)"));
    connect(addCommand(driver, command::kUsbDriver, tr("安装 USB 驱动")), &QAction::triggered, this,
            &CMainFrame::installUsbDriver);
    QMenu* help = menuBar()->addMenu(tr("帮助(&H)"));
    connect(addCommand(help, command::kAbout, tr("关于(&A) Quellmar ...")), &QAction::triggered,
            this, &CMainFrame::showAbout);
}

void CMainFrame::addLanguageMenu(QMenu* view) {
    // Written in both languages, so that it can be found whichever one is shown.
    QMenu* menu = view->addMenu(QStringLiteral("Language / 语言"));
    menu->setObjectName("Qel.LanguageMenu");
    auto* group = new QActionGroup(menu);
    const QString current = Language::configured(app_.configPath());
    const std::pair<const char*, QString> choices[] = {
        {Language::kChinese, QStringLiteral("中文")},
        {Language::kEnglish, QStringLiteral("English")}};
    for (const auto& [code, name] : choices) {
        QAction* a = menu->addAction(name);
        a->setCheckable(true);
        a->setChecked(current == code);
        a->setData(QString(code));
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, code = QString(code)] {
            if (code == Language::configured(app_.configPath())) return;
            Language::save(app_.configPath(), code);
            showMessage(this, tr("界面语言将在下次启动时更改。"), "Quellmar", MsgIcon::Information);
        });
    }
}

void CMainFrame::onStartTimer() {
    startTimer_.stop();
    runAddressStep();
    runSearch();
    if (closeWanted_) return;  // asked for during the search: the window closes now
    panel_->dialog()->equipmentPage()->list()->setEmptyOffer(
        tr("没有找到设备。添加一台虚拟设备试用?"), [this] { addVirtualUnit(); });
    if (!connectAtStart_.isEmpty()) openAtStart();
    if (afterStart_) afterStart_();
}

void CMainFrame::openAtStart() {
    const std::string wanted = connectAtStart_.toStdString();
    const auto units = app_.equipment().snapshot();
    bool isRow = false;
    const int row = connectAtStart_.toInt(&isRow);
    for (size_t i = 0; i < units.size(); ++i) {
        const auto& unit = units[i];
        if (isRow ? row == static_cast<int>(i) + 1
                  : unit->addressText() == wanted || unit->portName() == wanted) {
            openUnit(unit);
            return;
        }
    }
    showMessage(this, tr("没有找到要打开的设备 %1。").arg(connectAtStart_), "Quellmar");
}

// The PC address step: the first start asks for the addresses, later starts move the wired
// adapter into the units' subnet when automatic mode is on.
void CMainFrame::runAddressStep() {
    pcAddress_ = std::make_unique<PcAddressSetup>(networkAdapters(), app_.configPath());
    if (pcAddress_->countStart() == PcAddressSetup::Start::First) {
        CLocalAddressDlg(app_.configPath(), this).exec();
        return;
    }
    if (!pcAddress_->autoIpOn()) return;
    auto change = PcAddressSetup::Change::NoAdapter;
    beginBusy();
    runBusy([this, &change] { change = pcAddress_->automaticChange(); });
    endBusy();
    if (change == PcAddressSetup::Change::Failed)
        statusBar_->setPaneText(0, tr("未能把 PC 的网卡设到 192.168.6.x 网段"));
}

GroupsDlg* CMainFrame::openGroups() {
    if (!groups_)
        groups_ = new GroupsDlg(
            app_.groups(), [this] { return app_.equipment().snapshot(); }, this);
    groups_->show();
    groups_->raise();
    groups_->activateWindow();
    return groups_;
}

EventLog* CMainFrame::events() {
    return &app_.events();
}

AlarmsDlg* CMainFrame::openAlarms() {
    if (!alarms_) alarms_ = new AlarmsDlg(app_.alarms(), app_.configPath(), this);
    alarms_->show();
    alarms_->raise();
    alarms_->activateWindow();
    return alarms_;
}

EventLogDlg* CMainFrame::openEventLog() {
    if (!eventLog_) eventLog_ = new EventLogDlg(app_.events(), this);
    eventLog_->show();
    eventLog_->raise();
    eventLog_->activateWindow();
    return eventLog_;
}

void CMainFrame::repaintEquipmentList() {
    panel_->dialog()->equipmentPage()->list()->update();
    fitEquipmentList();
    if (remoteUnits_) remoteUnits_->listChanged();  // a search's finds, a unit added or gone
}

// The bar widens where a row's texts would be cut.
void CMainFrame::fitEquipmentList() {
    const CQelEqMgr* list = panel_->dialog()->equipmentPage()->list();
    const int missing = list->rowsWidth() - list->width();
    if (missing > 0 && panel_->isVisible()) panel_->widenTo(panel_->width() + missing);
}

// A close asked for while the search runs waits for it.
void CMainFrame::runSearch() {
    beginBusy();
    CInitSearchDlg::run(app_.equipment(), app_.searchSettings(), this);
    repaintEquipmentList();
    endBusy();
}

CQelEquipmentDlg* CMainFrame::editorOf(const Equipment& unit) const {
    const auto it = editors_.find(&unit);
    return it == editors_.end() ? nullptr : it->second.get();
}

void CMainFrame::openUnit(const std::shared_ptr<Equipment>& unit) {
    UnitSession* session = app_.sessions().of(*unit);
    if (!session && app_.sessions().connecting(*unit)) {
        showMessage(this, tr("正在为远程控制读取这台设备, 请稍候。"), "Quellmar",
                    MsgIcon::Information);
        return;
    }
    if (!session) {
        // The session is made from what this connection reads, so the window connects the
        // unit on its own worker rather than in a session's.
        const auto result =
            CQelConnectDlg::run(unit, CQelConnectDlg::Mode::Connect, app_.linkSettings(), this,
                                app_.options().progressPauseMs);
        if (result != UnitTransfer::Result::Success) {
            app_.events().connectFailed(*unit, result);
            repaintEquipmentList();
            return;
        }
        session = &app_.sessions().open(unit);
    }
    // Connected (by the desk or for a remote client): its editor, a view of the session,
    // comes forward and becomes the active one. The desk holds it from now on.
    session->setForClients(false);
    auto& editor = editors_[unit.get()];
    if (!editor) {
        editor = std::make_unique<CQelEquipmentDlg>(*session, *this);
        connect(editor.get(), &CQelEquipmentDlg::activated, this, &CMainFrame::onEditorActivated);
        connect(editor.get(), &CQelEquipmentDlg::statusChanged, this, &CMainFrame::showStatusOf);
        if (auto* gain = qobject_cast<CPanelGain*>(editor->page(1)))
            gain->setGroups(&app_.groups());
    }
    activeUnit_ = unit;
    showUndoState();
    editor->show();
    editor->raise();
    editor->activateWindow();
    repaintEquipmentList();
}

// The remote hub, listening at once when it was left on.
void CMainFrame::startRemote() {
    remoteUnits_ = std::make_unique<FrameRemoteUnits>(app_);
    remote_ = std::make_unique<RemoteHub>(*remoteUnits_, app_.configPath());
    remote_->setLanguage(Language::shown());
    remote_->setIssueWords(&PresetIssueWords::text);
    remote_->setAlarms(&app_.alarms());
    remote_->setEditCounts(&app_.editCounts());
    const auto settings = RemoteHub::Settings::load(app_.configPath());
    if (settings.enabled && !remote_->start(settings))
        statusBar_->setPaneText(0, tr("远程控制无法启动: %1").arg(remote_->errorString()));
    const auto osc = OscServer::Settings::load(app_.configPath());
    if (osc.enabled && !remote_->osc().start(osc))
        statusBar_->setPaneText(0, tr("OSC 无法启动: %1").arg(remote_->osc().errorString()));
}

void CMainFrame::onEditorActivated(CQelEquipmentDlg* editor) {
    for (const auto& unit : app_.equipment().snapshot())
        if (&editor->unit() == unit.get()) activeUnit_ = unit;
    showUndoState();
    showStatusOf(editor);
}

void CMainFrame::showStatusOf(CQelEquipmentDlg* editor) {
    if (editor != activeEditor()) return;
    const QStringList texts = editor->statusTexts();
    for (int pane = 1; pane <= texts.size(); ++pane) statusBar_->setPaneText(pane, texts[pane - 1]);
}

void CMainFrame::showUndoState() {
    const auto unit = activeUnit();
    UnitSession* session = unit ? app_.sessions().of(*unit) : nullptr;
    const EditHistory* h = session ? &session->history() : nullptr;
    undo_->setEnabled(h && h->canUndo());
    redo_->setEnabled(h && h->canRedo());
    const auto named = [](const QString& command, const QString& step) {
        return step.isEmpty() ? command : command + u' ' + step;
    };
    undo_->setText(named(tr("撤销"), h ? h->undoText() : QString()));
    redo_->setText(named(tr("重做"), h ? h->redoText() : QString()));
}

void CMainFrame::showNoUnit() {
    for (int pane = 1; pane < statusBar_->paneCount(); ++pane)
        statusBar_->setPaneText(pane, CMyStatusBar::initialText(pane));
    showUndoState();
}

CQelEquipmentDlg* CMainFrame::activeEditor() const {
    const auto unit = activeUnit();
    return unit ? editorOf(*unit) : nullptr;
}

void CMainFrame::presetCommand(bool import) {
    CQelEquipmentDlg* editor = activeEditor();
    if (!editor) {
        showMessage(this, tr("没有选中被连接的设备!"), windowTitle());
        return;
    }
    beginBusy();
    if (import)
        PresetTransfer::chooseImport(*editor, this);
    else
        PresetTransfer::chooseExport(*editor, this);
    endBusy();
}

void CMainFrame::disconnectActive() {
    const auto unit = activeUnit();
    if (!unit || !app_.sessions().of(*unit)) {
        showMessage(this, tr("没有选中被连接的设备!"), windowTitle());
        return;
    }
    if (showMessage(this, tr("您确定要断开当前连接的设备吗 ?"), "Quellmar", MsgIcon::Question,
                    MsgButtons::YesNoCancel) != MsgAnswer::Yes)
        return;
    // The notice is the last the unit hears from us: the meters stop first. The editor has
    // nothing to report of a link that the user ended.
    if (CQelEquipmentDlg* editor = editorOf(*unit)) editor->leave();
    beginBusy();
    runBusy([&unit] { UnitTransfer::disconnect(*unit); });
    closeSession(*unit);
    activeUnit_.reset();
    showNoUnit();
    repaintEquipmentList();
    pauseBusy(kDisconnectPauseMs);
    endBusy();
}

void CMainFrame::restoreVirtualUnits() {
    if (!app_.virtualUnits().restore(app_.equipment()))
        showMessage(this, tr("无法恢复虚拟设备: %1").arg(app_.virtualUnits().lastError()),
                    "Quellmar");
    repaintEquipmentList();
}

void CMainFrame::addVirtualUnit() {
    AddVirtualDlg ask(this);
    if (ask.exec() != QDialog::Accepted) return;
    const auto unit = app_.virtualUnits().add(ask.modelCode(), ask.name(), app_.equipment());
    if (!unit) {
        showMessage(this, tr("无法添加虚拟设备: %1").arg(app_.virtualUnits().lastError()),
                    "Quellmar");
        return;
    }
    repaintEquipmentList();
    openUnit(unit);
}

void CMainFrame::removeVirtualUnit() {
    const int row = panel_->dialog()->equipmentPage()->list()->selection();
    auto unit = row >= 0 ? app_.equipment().at(static_cast<size_t>(row)) : nullptr;
    if (!unit) unit = activeUnit();
    if (!unit || !unit->isVirtual()) {
        showMessage(this, tr("请先在设备列表中选中一台虚拟设备。"), "Quellmar");
        return;
    }
    const QString name = QString::fromStdString(unpaddedUnitText(unit->deviceName()));
    if (showMessage(this, tr("删除虚拟设备 %1 吗? 它的设置会一起删除。").arg(name), "Quellmar",
                    MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    dropEditorOf(unit);
    app_.virtualUnits().remove(*unit, app_.equipment());
    repaintEquipmentList();
}

void CMainFrame::dropEditorOf(const std::shared_ptr<Equipment>& unit) {
    if (CQelEquipmentDlg* editor = editorOf(*unit)) {
        editor->leave();
    }
    closeSession(*unit);
    if (activeUnit() == unit) {
        activeUnit_.reset();
        showNoUnit();
    }
    beginBusy();
    runBusy([&unit] { unit->stopLink(); });
    endBusy();
}

void CMainFrame::closeSession(const Equipment& unit) {
    app_.sessions().close(unit);  // its editor, a view of it, goes first
}

void CMainFrame::endBusy() {
    if (--busy_ == 0 && closeWanted_) QTimer::singleShot(0, this, &QWidget::close);
}

void CMainFrame::runGuarded(const std::function<void()>& step) {
    beginBusy();
    step();
    endBusy();
}

LinkSettings CMainFrame::linkSettings() {
    return app_.linkSettings();
}

ModeFileStore& CMainFrame::modeFiles() {
    return app_.modeFiles();
}

QString CMainFrame::configPath() const {
    return app_.configPath();
}

uint32_t CMainFrame::progressPauseMs() const {
    return app_.options().progressPauseMs;
}

void CMainFrame::showPaneText(int pane, const QString& text) {
    statusBar_->setPaneText(pane, text);
}

void CMainFrame::exitOnRequest() {
    quitAfterClose_ = true;
    close();
}

void CMainFrame::showAbout() {
    CAboutDlg(this).exec();
}

void CMainFrame::openNetworkSettings() {
    NetConfigSettings s;
    s.search.gateway = app_.gateway();
    s.search.modulePort = s.modulePort = app_.options().modulePort;
    CEqNetConfigDlg(s, app_.moduleSearcher(), this).exec();
}

void CMainFrame::installUsbDriver() {
    beginBusy();
    UsbDriverInstall::run(this, {});
    endBusy();
}

void CMainFrame::toggleAutoIp() {
    QSettings ini(app_.configPath(), QSettings::IniFormat);
    const int next = ini.value("NetConfig/AutoIP", 1).toInt() ? 0 : 1;
    ini.setValue("NetConfig/AutoIP", QString::number(next));
    action(command::kAutoIp)->setChecked(next != 0);
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    // The window manager drags the frame, so a run of resizes stands for an interactive
    // sizing: the client area draws fast until the resizes have stopped for a moment.
    QMainWindow::resizeEvent(event);
    if (!isVisible()) return;
    client_->setSizing(true);
    sizingTimer_.start();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (CQelConnectDlg* transfer = CQelConnectDlg::running()) {
        event->ignore();
        cancelForClose(*transfer);
        return;
    }
    if (CQelConnectDlg* connection = workingConnection()) {
        // Its worker uses the unit: the window closes once the connection window has gone.
        // A connection that fails meanwhile keeps no one waiting with its message.
        event->ignore();
        connection->leaveQuietly();
        if (!closeWanted_)
            connect(connection, &QObject::destroyed, this,
                    [this] { QTimer::singleShot(0, this, &QWidget::close); });
        closeWanted_ = true;
        return;
    }
    if (busy_) {  // closes once the step in progress is done
        closeWanted_ = true;
        event->ignore();
        return;
    }
    if (!shutDown_) shutdown();
    event->accept();
    if (quitAfterClose_) QCoreApplication::quit();  // also ends any open dialog
}

CQelConnectDlg* CMainFrame::workingConnection() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* connection = qobject_cast<CQelConnectDlg*>(w);
            connection && connection->jobRunning())
            return connection;
    return nullptr;
}

// A download runs: asked (unless the request came from outside), it is cancelled and the
// window closes once it has stopped. The question goes on the transfer's window, the one
// window not held.
void CMainFrame::cancelForClose(CQelConnectDlg& transfer) {
    if (!quitAfterClose_ && !closeWanted_ &&
        showMessage(&transfer, tr("正在向设备传输数据。要取消传输并退出吗 ?"), "Quellmar",
                    MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    closeWanted_ = true;
    connect(&transfer, &QObject::destroyed, this,
            [this] { QTimer::singleShot(0, this, &QWidget::close); });
    transfer.requestCancel();
}

void CMainFrame::shutdown() {
    shutDown_ = true;
    startTimer_.stop();
    remote_->stop();
    WindowPlacement::save(*this, app_.configPath(), screen()->geometry());
    for (auto& [unit, editor] : editors_) editor->leave();
    beginBusy();
    const auto units = app_.equipment().snapshot();
    std::set<const Equipment*> held;  // the units connected here hear that we let go
    for (UnitSession* session : app_.sessions().all()) held.insert(&session->unit());
    runBusy([this, &units, &held] {
        for (const auto& unit : units) {
            if (held.contains(unit.get())) {
                UnitTransfer::sendDisconnectNotice(*unit);
                sleepMs(kShutdownNoticeMs);
            }
            unit->requestStop();
        }
        if (pcAddress_) pcAddress_->restoreAtExit();
    });
    hide();
    pauseBusy(kShutdownPauseMs);
    --busy_;
}

void CMainFrame::saveBarLayout() {
    panel_->saveState(CQelEqPanel::kProfileName);
    QSettings profile(CSizingControlBar::kProfileOrganisation,
                      CSizingControlBar::kProfileApplication);
    profile.setValue(kLayoutKey, saveState());
}

}  // namespace qel
