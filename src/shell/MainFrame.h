// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>

#include "editor/EditorHost.h"
#include "link/EquipmentList.h"

class QAction;
class QToolBar;
class QStatusBar;

namespace qel {

class CQuellmarApp;
class CQelEqPanel;
class CClientWnd;
class CMyStatusBar;
class CMyToolBar;
class CQelConnectDlg;
class FrameRemoteUnits;
class AlarmsDlg;
class EventLogDlg;
class GroupsDlg;
class RemoteHub;
class CQelEquipmentDlg;
class PcAddressSetup;
class ShowFiles;

// Command identifiers of the main window's menus and tool bar.
namespace command {
constexpr int kSearch = 32771, kSearchTool = 32801, kNetwork = 32773, kNetworkTool = 32802,
              kLocalAddress = 32796, kUsbDriver = 32795, kAbout = 32794, kAboutTool = 32805,
              kDisconnect = 32803, kExit = 32797, kViewPanel = 32798, kViewStatus = 32799,
              kViewToolBar = 32800, kAutoIp = 32806, kExportPreset = 32807, kImportPreset = 32808,
              kRemote = 32809, kAddVirtual = 32820, kRemoveVirtual = 32821, kSaveShow = 32822,
              kOpenShow = 32823, kGroups = 32824, kEventLog = 32825,
              kAlarms = 32826;
}

// The main window: tool bar, status bar, the docked equipment panel and the client area; the
// start-up search, the commands of the menus and the orderly shutdown. It hosts the editors.
class CMainFrame : public QMainWindow, public EditorHost {
    Q_OBJECT
public:
    static constexpr int kStartDelayMs = 200;
    static constexpr int kMinWidth = 574, kMinHeight = 420;

    explicit CMainFrame(CQuellmarApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QAction* action(int commandId) const;
    CMyStatusBar* skinnedStatusBar() const { return statusBar_; }
    CQelEqPanel* equipmentPanel() const { return panel_; }
    void repaintEquipmentList();

    // The unit whose window was activated last; the disconnect command acts on it.
    std::shared_ptr<Equipment> activeUnit() const { return activeUnit_.lock(); }
    // Opens a unit from the list: connects it and opens its editor, or shows the editor.
    void openUnit(const std::shared_ptr<Equipment>& unit);
    // The unit's editor, kept after a disconnect until the unit connects again; or none.
    CQelEquipmentDlg* editorOf(const Equipment& unit) const;

    void runSearch();
    void disconnectActive();
    // Asks for a model and a name, adds that virtual unit and opens it.
    void addVirtualUnit();
    // Removes the virtual unit selected in the list (else the active one), once confirmed.
    void removeVirtualUnit();
    // The active unit's editor while its unit is connected; or none.
    CQelEquipmentDlg* activeEditor() const;
    // The exit command's path for a request from outside (a signal, the session's end): the
    // window closes as soon as a step in progress allows, and then the application quits.
    void exitOnRequest();
    // Opens the listed unit with this address, port name or row number (1-based) after the
    // start-up search.
    void setConnectAtStart(const QString& unit) { connectAtStart_ = unit; }
    // The remote control of the units (off until switched on).
    RemoteHub& remote() { return *remote_; }
    FrameRemoteUnits& remoteUnits() { return *remoteUnits_; }
    // Saving and opening show files.
    ShowFiles& showFiles() { return *showFiles_; }
    // "编组...": the groups window, made on first use and kept (modeless).
    GroupsDlg* openGroups();
    // "事件日志...": the event log's window, made on first use and kept (modeless).
    EventLogDlg* openEventLog();
    // "报警设置...": the alarms and their settings, made on first use and kept (modeless).
    AlarmsDlg* openAlarms();
    // Runs when the start-up search is over (used by the screenshot mode).
    void setAfterStartSearch(std::function<void()> callback) { afterStart_ = std::move(callback); }

    LinkSettings linkSettings() override;
    ModeFileStore& modeFiles() override;
    QString configPath() const override;
    uint32_t progressPauseMs() const override;
    void showPaneText(int pane, const QString& text) override;
    void unitListChanged() override { repaintEquipmentList(); }
    void runGuarded(const std::function<void()>& step) override;
    EventLog* events() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createMenus();
    void addLanguageMenu(QMenu* view);
    void createToolBar();
    void createStatusBar();
    void createPanel();
    void fitEquipmentList();
    QAction* addCommand(QMenu* menu, int id, const QString& text);
    void onStartTimer();
    // The unit named by setConnectAtStart(); a message when the search did not find it.
    void openAtStart();
    void runAddressStep();
    void startRemote();
    void showAbout();
    void toggleAutoIp();
    void installUsbDriver();
    void openNetworkSettings();
    void presetCommand(bool import);
    void shutdown();
    void cancelForClose(CQelConnectDlg& transfer);
    // A connection window whose worker still runs, or none.
    static CQelConnectDlg* workingConnection();
    void beginBusy() { ++busy_; }
    void endBusy();
    void onEditorActivated(CQelEquipmentDlg* editor);
    // Status-bar panes 1 to 4 for the active editor's unit, or for no unit.
    void showStatusOf(CQelEquipmentDlg* editor);
    void showNoUnit();
    // The undo and redo commands say what the active unit's history would undo and redo.
    void showUndoState();
    void saveBarLayout();
    void restoreVirtualUnits();
    // Lets the unit's session go with its editor.
    void closeSession(const Equipment& unit);
    // Ends the unit's link and drops its editor (a unit that goes away).
    void dropEditorOf(const std::shared_ptr<Equipment>& unit);

    CQuellmarApp& app_;
    CClientWnd* client_ = nullptr;
    CMyStatusBar* statusBar_ = nullptr;
    CMyToolBar* toolBar_ = nullptr;
    CQelEqPanel* panel_ = nullptr;
    std::map<int, QAction*> actions_;
    QTimer startTimer_;
    std::unique_ptr<PcAddressSetup> pcAddress_;  // the start-up address change, undone at exit
    QTimer sizingTimer_;  // ends the fast drawing of the client area after a resize
    std::weak_ptr<Equipment> activeUnit_;
    std::unique_ptr<ShowFiles> showFiles_;
    std::map<const Equipment*, std::unique_ptr<CQelEquipmentDlg>> editors_;
    QAction* undo_ = nullptr;  // the active unit's history: its texts name the step
    QAction* redo_ = nullptr;
    std::function<void()> afterStart_;
    QString connectAtStart_;
    bool shutDown_ = false;
    int busy_ = 0;  // blocking steps running, one inside another; closing waits for them
    bool closeWanted_ = false;
    bool quitAfterClose_ = false;
    // Last, so that it goes first: it listens to the editors' edit paths.
    std::unique_ptr<FrameRemoteUnits> remoteUnits_;
    std::unique_ptr<RemoteHub> remote_;
    QPointer<GroupsDlg> groups_;
    QPointer<EventLogDlg> eventLog_;
    QPointer<AlarmsDlg> alarms_;
};

}  // namespace qel
