// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace qel {

class OscSection;
class RemoteHub;

// "远程控制": switches the remote control on and off, chooses where it listens and whether
// clients may only watch, shows the address (as text and QR code) a tablet opens to pair,
// and lists every pairing (its name, since when, last seen, connected or not) with a button
// to drop one, and beside it the OSC server's section. Settings go to section Remote of
// QelConfig.ini.
class RemoteDlg : public QDialog {
    Q_OBJECT
public:
    RemoteDlg(RemoteHub& hub, QString configPath, QWidget* parent = nullptr);

    QCheckBox* enabledBox() const { return enabled_; }
    QComboBox* addressBox() const { return address_; }
    QSpinBox* portBox() const { return port_; }
    QCheckBox* readOnlyBox() const { return readOnly_; }
    QLineEdit* urlText() const { return url_; }
    QLabel* qrCode() const { return qr_; }
    QTreeWidget* clientList() const { return clients_; }
    QPushButton* dropButton() const { return drop_; }
    OscSection* oscSection() const { return osc_; }
    // This machine's addresses to listen on (loopback, each adapter's, all), chosen at one.
    static void fillAddresses(QComboBox* box, const QString& chosen);

private:
    // Starts, restarts or stops the hub as the fields say, and keeps the settings.
    void apply();
    void showState();
    void showClients();
    void dropChosen();

    RemoteHub& hub_;
    QString configPath_;
    QCheckBox* enabled_;
    QComboBox* address_;
    QSpinBox* port_;
    QCheckBox* readOnly_;
    QLabel* warning_;
    QLabel* state_;
    QLineEdit* url_;
    QLabel* qr_;
    QPushButton* renew_;
    QTreeWidget* clients_;
    QPushButton* drop_;
    OscSection* osc_;
};

}  // namespace qel
