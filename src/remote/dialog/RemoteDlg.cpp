// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/dialog/RemoteDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/NetworkAdapters.h"
#include "remote/RemoteHub.h"
#include "remote/dialog/OscSection.h"
#include "remote/dialog/QrCodeImage.h"

namespace qel {

namespace {

const char kAllAddresses[] = "0.0.0.0";

}  // namespace

RemoteDlg::RemoteDlg(RemoteHub& hub, QString configPath, QWidget* parent)
    : QDialog(parent), hub_(hub), configPath_(std::move(configPath)) {
    setObjectName(QStringLiteral("Qel.RemoteDlg"));
    setWindowTitle(tr("远程控制"));
    const RemoteHub::Settings settings = RemoteHub::Settings::load(configPath_);
    auto* columns = new QHBoxLayout(this);
    auto* layout = new QVBoxLayout;
    columns->addLayout(layout);
    osc_ = new OscSection(hub_.osc(), configPath_, this);
    columns->addWidget(osc_, 0, Qt::AlignTop);
    enabled_ = new QCheckBox(tr("启用远程控制"), this);
    enabled_->setChecked(hub_.running());
    layout->addWidget(enabled_);
    auto* form = new QFormLayout;
    address_ = new QComboBox(this);
    fillAddresses(address_, settings.address);
    form->addRow(tr("监听地址:"), address_);
    port_ = new QSpinBox(this);
    port_->setRange(1, 65535);
    port_->setValue(settings.port);
    form->addRow(tr("端口:"), port_);
    readOnly_ = new QCheckBox(tr("只读"), this);
    readOnly_->setToolTip(tr("客户端只能查看, 不能修改参数"));
    readOnly_->setChecked(settings.readOnly);
    form->addRow(QString(), readOnly_);
    layout->addLayout(form);
    warning_ = new QLabel(tr("所有地址: 网络中的任何设备都能打开配对页面, 只有配对码才能配对。"), this);
    warning_->setWordWrap(true);
    layout->addWidget(warning_);
    state_ = new QLabel(this);
    state_->setWordWrap(true);
    layout->addWidget(state_);
    auto* urlRow = new QHBoxLayout;
    url_ = new QLineEdit(this);
    url_->setReadOnly(true);
    url_->setMinimumWidth(url_->fontMetrics().horizontalAdvance(
        QStringLiteral("http://192.168.188.188:65535/?pair=mmmmmmmmmm  ")));
    urlRow->addWidget(url_);
    renew_ = new QPushButton(tr("新配对码"), this);
    urlRow->addWidget(renew_);
    layout->addLayout(urlRow);
    qr_ = new QLabel(this);
    qr_->setAlignment(Qt::AlignCenter);
    layout->addWidget(qr_);
    layout->addWidget(new QLabel(tr("已配对的设备:"), this));
    clients_ = new QTreeWidget(this);
    clients_->setRootIsDecorated(false);
    clients_->setHeaderLabels({tr("名称"), tr("配对时间"), tr("最后连接"), tr("状态")});
    clients_->setMinimumHeight(110);
    layout->addWidget(clients_);
    drop_ = new QPushButton(tr("断开并取消配对"), this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(drop_, QDialogButtonBox::ActionRole);
    buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(enabled_, &QCheckBox::toggled, this, &RemoteDlg::apply);
    connect(address_, &QComboBox::activated, this, &RemoteDlg::apply);
    connect(port_, &QSpinBox::editingFinished, this, [this] {
        if (hub_.running() && port_->value() != hub_.server().port()) apply();
    });
    connect(readOnly_, &QCheckBox::toggled, this, &RemoteDlg::apply);
    connect(renew_, &QPushButton::clicked, this, [this] { hub_.auth().renewPairingCode(); });
    connect(drop_, &QPushButton::clicked, this, &RemoteDlg::dropChosen);
    connect(&hub_, &RemoteHub::clientsChanged, this, &RemoteDlg::showClients);
    connect(&hub_, &RemoteHub::pairingCodeChanged, this, &RemoteDlg::showState);
    hub_.auth().reload();  // another program may have dropped some while the remote was off
    showState();
    showClients();
}

void RemoteDlg::fillAddresses(QComboBox* box, const QString& chosen) {
    box->addItem(tr("%1 (仅本机)").arg(QStringLiteral("127.0.0.1")), QStringLiteral("127.0.0.1"));
    for (const NetworkAdapter& a : networkAdapters().adapters()) {
        if (a.kind == NetworkAdapter::Kind::Loopback) continue;
        for (const std::string& ip : a.addresses)
            box->addItem(QStringLiteral("%1 (%2)").arg(QString::fromStdString(ip),
                                                       QString::fromStdString(a.name)),
                         QString::fromStdString(ip));
    }
    box->addItem(tr("%1 (所有地址)").arg(kAllAddresses), QString(kAllAddresses));
    const int at = box->findData(chosen);
    box->setCurrentIndex(at >= 0 ? at : 0);
}

void RemoteDlg::apply() {
    RemoteHub::Settings s;
    s.enabled = enabled_->isChecked();
    s.address = address_->currentData().toString();
    s.port = quint16(port_->value());
    s.readOnly = readOnly_->isChecked();
    if (!s.enabled) {
        hub_.stop();
    } else if (!hub_.start(s)) {
        const QSignalBlocker block(enabled_);
        enabled_->setChecked(false);
        s.enabled = false;
    }
    s.save(configPath_);
    showState();
}

void RemoteDlg::showState() {
    warning_->setVisible(address_->currentData().toString() == kAllAddresses);
    const bool on = hub_.running();
    renew_->setEnabled(on);
    if (!on) {
        url_->clear();
        qr_->clear();
        const QString error = hub_.errorString();
        state_->setText(enabled_->isChecked() || error.isEmpty()
                            ? tr("远程控制已关闭。")
                            : tr("无法在 %1:%2 上监听: %3")
                                  .arg(address_->currentData().toString())
                                  .arg(port_->value())
                                  .arg(error));
        return;
    }
    state_->setText(tr("在平板电脑或手机上打开此地址进行配对 (配对码只能使用一次):"));
    url_->setText(hub_.pairingUrl());
    url_->setCursorPosition(0);
    qr_->setPixmap(QPixmap::fromImage(qrCodeImage(hub_.pairingUrl(), 4)));
}

void RemoteDlg::showClients() {
    const auto when = [](const QDateTime& t) {
        return t.isValid() ? t.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                           : QStringLiteral("-");
    };
    clients_->clear();
    for (const RemoteHub::Pairing& p : hub_.pairings()) {
        const QString state = p.clients.empty() ? tr("未连接") : tr("已连接");
        auto* item = new QTreeWidgetItem(clients_, {p.label.isEmpty() ? tr("(未命名)") : p.label,
                                                    when(p.since), when(p.lastSeen), state});
        item->setData(0, Qt::UserRole, p.id);
        item->setToolTip(0, p.label);
        item->setToolTip(3, p.peers.join(QStringLiteral(", ")));  // where it connects from
    }
    for (int c = 0; c < clients_->columnCount(); ++c) clients_->resizeColumnToContents(c);
    drop_->setEnabled(clients_->topLevelItemCount() > 0);
}

void RemoteDlg::dropChosen() {
    const QTreeWidgetItem* item = clients_->currentItem();
    if (!item && clients_->topLevelItemCount() == 1) item = clients_->topLevelItem(0);
    if (item) hub_.unpair(item->data(0, Qt::UserRole).toByteArray());
}

}  // namespace qel
