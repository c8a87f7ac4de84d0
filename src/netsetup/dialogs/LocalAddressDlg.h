// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>
#include <QString>

namespace qel {

class CIpAddressEdit;

// "网络 : IP 地址设置": the PC address and the gateway whose a.b.c.255 the searches use, kept
// in "NetConfig" of QelConfig.ini. Opening fills the fields from the file, with the PC's own
// address as the defaults, and writes both keys back; OK writes the fields. The adapter
// itself is not changed here.
class CLocalAddressDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLocalIpId = 1000, kGatewayId = 1001;

    explicit CLocalAddressDlg(QString configPath, QWidget* parent = nullptr);

    CIpAddressEdit* localIp() const { return localIp_; }
    CIpAddressEdit* gateway() const { return gateway_; }

    void accept() override;

private:
    QString configPath_;
    CIpAddressEdit* localIp_;
    CIpAddressEdit* gateway_;
};

}  // namespace qel
