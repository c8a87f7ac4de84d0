// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>
#include <array>
#include <deque>
#include <mutex>
#include <utility>

#include "netsetup/NetModuleClient.h"
#include "netsetup/NetModuleSearch.h"

class QPushButton;
class QTreeWidget;

namespace qel {

class CIpAddressEdit;

struct NetConfigSettings {
    ModuleSearchSettings search;
    uint16_t modulePort = port::kModule;
    ModuleTiming timing;
    uint32_t neighbourWaitMs = 60;  // after the static neighbour entry is made
    uint32_t settleMs = 2600;       // after the write, before the success box
    uint32_t afterSuccessMs = 1600;
};

// "网络 : 设备设置": lists the network modules that answer a search, reads the configuration of
// the one chosen, and writes a new unit address, gateway and two PC addresses into it. The
// search runs on the application's search thread (given here), which never touches a closed
// dialog; the read and the write's waits run on a worker while the dialog keeps painting and
// takes no input.
class CEqNetConfigDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kListId = 1016, kSearchId = 1010, kOkId = 1011, kCloseId = 7,
                         kUnitIpId = 1012, kGatewayId = 1013, kPc1Id = 1014, kPc2Id = 1015;

    CEqNetConfigDlg(NetConfigSettings settings, NetModuleSearcher& searcher,
                    QWidget* parent = nullptr);
    ~CEqNetConfigDlg() override;

    QTreeWidget* list() const { return list_; }
    CIpAddressEdit* field(int id) const;
    QPushButton* okButton() const { return ok_; }

    // Button 1010 and the dialog's start: a search unless one runs; the fields wait for a row.
    void startSearch();
    // A click in the list: reads the clicked module's configuration.
    void selectCurrentRow();
    // Button 1011.
    void writeSettings();

signals:
    // Emitted on the search thread; queued to the dialog's thread.
    void rowsPosted();

private:
    void showRow(int row, const NetModuleEntry& entry);
    void showPostedRows();
    void setFieldsEnabled(bool enabled);

    NetConfigSettings settings_;
    NetModuleSearcher& searcher_;
    QTreeWidget* list_;
    std::array<CIpAddressEdit*, 4> fields_{};  // 1012..1015
    QPushButton* ok_;
    std::mutex postedMutex_;  // guards posted_: the search thread adds, the GUI thread takes
    std::deque<std::pair<int, NetModuleEntry>> posted_;
};

}  // namespace qel
