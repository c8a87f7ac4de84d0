// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <atomic>
#include <memory>

#include "device/MeterPoller.h"
#include "device/ParamEdit.h"
#include "device/UnitSession.h"
#include "device/UnitTransfer.h"
#include "link/Equipment.h"
#include "ui/QelConnectDlg.h"

namespace qel {

class CEqSystemDlg;
class CQelBtn;
class CQelSyncBar;
class EditorHost;
class CQelTitle;
class EditorPage;
struct VerifyReport;

// The editor of one connected unit, a view of its session: the tab strip over six pages, the
// meters, the load of every page from the image and the report of a lost link. The session
// keeps the settings, the history and A/B, so the window can go and come back. Closing only
// hides it. What it needs from the program around it comes from its host.
class CQelEquipmentDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 966, kClientHeight = 543;
    static constexpr int kAbX = 810;  // the A/B buttons at the right end of the tab strip
    static constexpr int kTimerMs = 200;
    static constexpr int kMeterRate = 25;  // readings a second while the meters are shown
    enum PageId { kGain = 1, kDelay, kLimiter, kInputEq, kOutputEq, kSystem };

    // Shows the unit's image on every page; sends nothing.
    CQelEquipmentDlg(UnitSession& session, EditorHost& host);
    ~CQelEquipmentDlg() override;

    UnitSession& session() const { return session_; }
    Equipment& unit() { return *unit_; }
    const std::shared_ptr<Equipment>& sharedUnit() const { return unit_; }
    ParamEdit& edit() { return edit_; }
    CQelTitle* title() const { return title_; }
    EditorPage* page(int id) const { return pages_.at(static_cast<size_t>(id - 1)); }
    CEqSystemDlg* systemDlg() const;
    int currentPage() const { return current_; }
    void showPage(int id);
    // The tab strip's report: page id, channel word (selected channel in the low byte, a newly
    // linked one in the second) and link mask.
    void chooseTab(int pageId, int channelWord, int linkMask);
    MeterPoller& meters() { return session_.meters(); }
    EditHistory& history() { return session_.history(); }
    CQelSyncBar* syncBar() const { return syncBar_; }

    EditorHost& host() const { return host_; }

    // Writes the editor's image into the unit (meters paused) and proves it by reading the
    // unit back. Success when the unit equals the image (the unit is then in sync: no
    // unconfirmed writes); otherwise report says what was found (none when the unit did not
    // answer or the user cancelled) and the unit is known to differ. GUI thread; a progress
    // window shows meanwhile.
    UnitTransfer::Result writeImageVerified(std::shared_ptr<const VerifyReport>& report);
    // A transfer of the unit in its window over `over`, holding the session's lease
    // meanwhile; Cancelled (after saying so) when another transfer holds the unit.
    UnitTransfer::Result runTransfer(CQelConnectDlg::Mode mode, QWidget* over,
                                     std::shared_ptr<const VerifyReport>* report = nullptr);
    // Pages take no focus while a worker reads or writes the image. A value box sends its
    // typing when it loses the focus: holding the pages makes that happen before the worker
    // starts, not while it runs (when the progress window takes the focus).
    void holdPages(bool hold);
    // The shared image the pages edit; the unit's image pointer is kept on it.
    const std::shared_ptr<ModeImage>& sharedImage() const { return session_.image(); }
    // After a reconnect: the lost-link report may come again, the title shows the new mode.
    void linkRestored();

    // The program leaves: hidden, meters stopped, and no report of the link that ends.
    void leave();

    // Loads every page from the image; sends nothing.
    void updateAllPanels();
    // The pages show what an edit they did not make changed.
    void showOutsideEdit(const ParamEdit::Result& result);
    // The image was replaced by a complete transfer (a recall, a PC mode applied, a read
    // again): the pages show it and earlier edits no longer describe the unit.
    void fullTransferDone();
    // Model, name, where the unit is reached (its port, its address, or 虚拟), and the user or
    // engineering mode.
    static QString titleFor(const Equipment& unit);
    // The texts of status-bar panes 1 to 4 for this unit.
    QStringList statusTexts() const;
    // "状态:在线" and its kin: pane 2's words for a unit's state.
    static QString stateText(Equipment::State state);

signals:
    void activated(CQelEquipmentDlg* editor);
    // What statusTexts() says has changed (a reconnect read the unit again, the unit stopped
    // answering or its link was lost).
    void statusChanged(CQelEquipmentDlg* editor);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createAbGroup();
    void showAb();
    void onTimer();
    void showMeters();
    void trackScreen();

    UnitSession& session_;
    std::shared_ptr<Equipment> unit_;
    ParamEdit& edit_;
    CQelTitle* title_ = nullptr;
    CQelSyncBar* syncBar_ = nullptr;
    EditorHost& host_;
    std::array<EditorPage*, 6> pages_{};
    int current_ = kGain;
    std::array<CQelBtn*, 3> ab_{};  // store as A, store as B, switch
    QTimer timer_;
    bool lostShown_ = false;
    Equipment::State shownState_ = Equipment::State::Online;  // as last told by statusChanged
    UnitSession::MeterWatch meterWatch_;  // while the meters are on screen
    // Last: it goes first.
    ParamEdit::Subscription outsideEdits_;
};

}  // namespace qel
