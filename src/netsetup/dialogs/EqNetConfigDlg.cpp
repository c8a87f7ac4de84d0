// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "netsetup/dialogs/EqNetConfigDlg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "controls/MessageBoxes.h"
#include "netsetup/dialogs/IpAddressEdit.h"
#include "platform/Clock.h"
#include "platform/NetworkAdapters.h"
#include "platform/Trace.h"
#include "ui/BusyRun.h"

namespace qel {

namespace {
constexpr const char* kCaption = "NetConfig";
}

CEqNetConfigDlg::CEqNetConfigDlg(NetConfigSettings settings, NetModuleSearcher& searcher,
                                 QWidget* parent)
    : QDialog(parent), settings_(std::move(settings)), searcher_(searcher) {
    setObjectName("Qel.CEqNetConfigDlg");
    setWindowTitle(tr("网络 : 设备设置"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("设备列表:"), this));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QString::number(kListId));
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setHeaderLabels({tr("No"), tr("IP Address"), tr("Gateway"), tr("MAC Address")});
    const int widths[] = {32, 108, 100, 120};
    for (int c = 0; c < 4; ++c) list_->setColumnWidth(c, widths[c]);
    list_->setMinimumWidth(32 + 108 + 100 + 120 + 24);
    layout->addWidget(list_);
    auto* search = new QPushButton(tr("搜索"), this);
    search->setObjectName(QString::number(kSearchId));
    layout->addWidget(search, 0, Qt::AlignRight);

    auto* group = new QGroupBox(tr("设置"), this);
    auto* form = new QFormLayout(group);
    const QString labels[] = {tr("设备 IP 地址:"), tr("设备 网关地址:"), tr("控制端PC IP地址1:"),
                              tr("控制端PC IP地址2:")};
    for (size_t i = 0; i < fields_.size(); ++i) {
        fields_[i] = new CIpAddressEdit(group);
        fields_[i]->setObjectName(QString::number(kUnitIpId + static_cast<int>(i)));
        form->addRow(labels[i], fields_[i]);
    }
    layout->addWidget(group);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ok_ = new QPushButton(tr("确定"), this);
    ok_->setObjectName(QString::number(kOkId));
    auto* close = new QPushButton(tr("关闭"), this);
    close->setObjectName(QString::number(kCloseId));
    buttons->addWidget(ok_);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(search, &QPushButton::clicked, this, &CEqNetConfigDlg::startSearch);
    connect(list_, &QTreeWidget::itemClicked, this, &CEqNetConfigDlg::selectCurrentRow);
    connect(ok_, &QPushButton::clicked, this, &CEqNetConfigDlg::writeSettings);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // The search thread leaves its rows under a lock and nudges the dialog through a queued
    // signal; once the listener is gone (the destructor), nothing more is posted.
    connect(this, &CEqNetConfigDlg::rowsPosted, this, &CEqNetConfigDlg::showPostedRows,
            Qt::QueuedConnection);
    searcher_.setListener([this](int row, const NetModuleEntry& entry) {
        {
            std::lock_guard lock(postedMutex_);
            posted_.emplace_back(row, entry);
        }
        emit rowsPosted();
    });
    startSearch();
}

CEqNetConfigDlg::~CEqNetConfigDlg() {
    searcher_.setListener(nullptr);
}

void CEqNetConfigDlg::showPostedRows() {
    decltype(posted_) rows;
    {
        std::lock_guard lock(postedMutex_);
        rows.swap(posted_);
    }
    for (const auto& [row, entry] : rows) showRow(row, entry);
}

CIpAddressEdit* CEqNetConfigDlg::field(int id) const {
    const int i = id - kUnitIpId;
    return i >= 0 && i < 4 ? fields_[static_cast<size_t>(i)] : nullptr;
}

void CEqNetConfigDlg::setFieldsEnabled(bool enabled) {
    for (CIpAddressEdit* f : fields_) f->setEnabled(enabled);
    ok_->setEnabled(enabled);
}

void CEqNetConfigDlg::startSearch() {
    searcher_.start(settings_.search);
    setFieldsEnabled(false);
}

void CEqNetConfigDlg::showRow(int row, const NetModuleEntry& e) {
    if (row < 0) {
        list_->clear();
        return;
    }
    auto* item =
        new QTreeWidgetItem({QString::number(row + 1), QString::fromStdString(e.ipText),
                             QString::fromStdString(e.gatewayText),
                             QString::fromStdString(NetModuleProtocol::macWithColons(e.mac))});
    list_->addTopLevelItem(item);  // rows come in order after the list was emptied
}

void CEqNetConfigDlg::selectCurrentRow() {
    QTreeWidgetItem* current = list_->currentItem();
    const int row = current ? list_->indexOfTopLevelItem(current) : -1;
    if (row < 0) return;
    list_->clearSelection();
    current->setSelected(true);
    searcher_.table().setSelectedRow(row);
    auto entry = searcher_.table().entry(row);
    if (!entry) return;
    setFieldsEnabled(true);
    fields_[0]->setAddress(entry->ip);
    fields_[1]->setAddress(entry->gateway);
    fields_[2]->clear();
    fields_[3]->clear();
    NetModuleClient::Read read;
    const Ipv4 ip = entry->ip;
    const std::string ipText = entry->ipText, mac = NetModuleProtocol::macWithColons(entry->mac);
    runBusy([&] {
        // Replies must reach the module though it may sit on another subnet than the PC.
        const NeighbourEntry neighbour = networkAdapters().setNeighbour(ipText, mac);
        if (!neighbour.ok)
            qCDebug(lcModule, "Module %s: no neighbour entry: %s", ipText.c_str(),
                    neighbour.message.c_str());
        sleepMs(settings_.neighbourWaitMs);
        read = NetModuleClient(ip, settings_.modulePort, settings_.timing).read();
        if (neighbour.ok) networkAdapters().removeNeighbour(ipText, neighbour.device);
    });
    if (read.config) {
        std::copy(read.config->head.begin(), read.config->head.end(), entry->replyHead.begin());
        std::copy(read.config->id.begin(), read.config->id.end(), entry->replyId.begin());
        searcher_.table().setEntry(row, *entry);
        if (read.config->pc1) fields_[2]->setAddress(*read.config->pc1);
        if (read.config->pc2) fields_[3]->setAddress(*read.config->pc2);
    }
    if (!read.ok()) {
        ok_->setEnabled(false);
        showMessage(this, tr("Error: Failure to get the equipment's network information !"),
                    kCaption, MsgIcon::Information);
    }
}

void CEqNetConfigDlg::writeSettings() {
    const Ipv4 ip = fields_[0]->address(), gateway = fields_[1]->address();
    if (NetModuleProtocol::refused(ip, gateway)) {
        showMessage(this, tr("Error: IP Address or Gateway !"), kCaption, MsgIcon::Information);
        return;
    }
    const int row = searcher_.table().selectedRow();
    auto entry = searcher_.table().entry(row);
    if (!entry) return;
    ModuleConfig kept;
    std::copy(entry->replyHead.begin(), entry->replyHead.end(), kept.head.begin());
    std::copy(entry->replyId.begin(), entry->replyId.end(), kept.id.begin());
    const auto message = NetModuleProtocol::writeMessage(kept, ip, gateway, fields_[2]->address(),
                                                         fields_[3]->address());
    runBusy([&] {
        NetModuleClient(entry->ip, settings_.modulePort, settings_.timing).write(message);
        sleepMs(settings_.settleMs);
    });
    showMessage(this, tr("Success to modify the IP Address !"), kCaption, MsgIcon::Information);
    pauseBusy(settings_.afterSuccessMs);
    entry->ip = ip;
    entry->ipText = formatIpv4(ip);
    entry->gateway = gateway;
    entry->gatewayText = formatIpv4(gateway);
    searcher_.table().setEntry(row, *entry);
    if (QTreeWidgetItem* item = list_->topLevelItem(row)) {
        item->setText(1, QString::fromStdString(entry->ipText));
        item->setText(2, QString::fromStdString(entry->gatewayText));
    }
    startSearch();
}

}  // namespace qel
