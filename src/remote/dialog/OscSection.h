// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QGroupBox>
#include <QTimer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTreeWidget;

namespace qel {

class OscServer;

// The remote control window's OSC section: switches the OSC server on and off, chooses where
// it listens, which networks it hears and whether it only answers, and lists the senders
// heard lately. Settings go to section Osc of QelConfig.ini.
class OscSection : public QGroupBox {
    Q_OBJECT
public:
    OscSection(OscServer& osc, QString configPath, QWidget* parent = nullptr);

    QCheckBox* enabledBox() const { return enabled_; }
    QComboBox* addressBox() const { return address_; }
    QSpinBox* portBox() const { return port_; }
    QLineEdit* allowText() const { return allow_; }
    QCheckBox* readOnlyBox() const { return readOnly_; }
    QLabel* stateText() const { return state_; }
    QTreeWidget* senderList() const { return senders_; }

private:
    // Starts, restarts or stops the server as the fields say, and keeps the settings.
    void apply();
    void showState();
    void showSenders();

    OscServer& osc_;
    QString configPath_;
    QCheckBox* enabled_;
    QComboBox* address_;
    QSpinBox* port_;
    QLineEdit* allow_;
    QCheckBox* readOnly_;
    QLabel* state_;
    QTreeWidget* senders_;
    QTimer refresh_;  // the list follows a flood of messages a few times a second
};

}  // namespace qel
