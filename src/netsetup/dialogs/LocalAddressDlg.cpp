// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "netsetup/dialogs/LocalAddressDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "netsetup/PcAddressSetup.h"
#include "netsetup/dialogs/IpAddressEdit.h"

namespace qel {

CLocalAddressDlg::CLocalAddressDlg(QString configPath, QWidget* parent)
    : QDialog(parent), configPath_(std::move(configPath)) {
    setObjectName("Qel.CLocalAddressDlg");
    setWindowTitle(tr("网络 : IP 地址设置"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("修改 PC IP 地址:"), this));
    auto* form = new QFormLayout;
    localIp_ = new CIpAddressEdit(this);
    localIp_->setObjectName(QString::number(kLocalIpId));
    gateway_ = new CIpAddressEdit(this);
    gateway_->setObjectName(QString::number(kGatewayId));
    form->addRow(tr("本地 IP 地址:"), localIp_);
    form->addRow(tr("本地 网关:"), gateway_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    const auto [host, hostGateway] = PcAddressSetup::hostDefaults(networkAdapters().adapters());
    QSettings ini(configPath_, QSettings::IniFormat);
    const QString local = ini.value("NetConfig/LocalIP", QString::fromStdString(host)).toString();
    const QString gw =
        ini.value("NetConfig/GateWay", QString::fromStdString(hostGateway)).toString();
    localIp_->setText(local);
    gateway_->setText(gw);
    // The keys exist from here on, even when the dialog is cancelled.
    ini.setValue("NetConfig/LocalIP", local);
    ini.setValue("NetConfig/GateWay", gw);
}

void CLocalAddressDlg::accept() {
    QSettings ini(configPath_, QSettings::IniFormat);
    ini.setValue("NetConfig/LocalIP", localIp_->text());
    ini.setValue("NetConfig/GateWay", gateway_->text());
    QDialog::accept();
}

}  // namespace qel
