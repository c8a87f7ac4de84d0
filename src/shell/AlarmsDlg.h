// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>

#include "device/AlarmSettings.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QTimeEdit;
class QTreeWidget;

namespace qel {

class Alarms;
struct Alarm;

// "报警设置": the alarms listed now (acknowledged ones stay until they clear) and the settings
// of each kind, taken and kept in QelConfig.ini by "应用". Modeless.
class AlarmsDlg : public QDialog {
    Q_OBJECT
public:
    AlarmsDlg(Alarms& alarms, QString configPath, QWidget* parent);

    // The settings as the window shows them.
    AlarmSettings shown() const;
    void showSettings(const AlarmSettings& settings);
    // Takes the settings shown: false, with the reason in the window, when one is out of range.
    bool apply();
    QTreeWidget* list() const { return list_; }
    QLabel* problemLabel() const { return problem_; }

    // What a kind of alarm is called here.
    static QString kindText(const Alarm& alarm);
    // Why settings were refused, in the window's words.
    static QString problemText(const AlarmSettings::Problem& problem);

private:
    void fillList();
    void acknowledgeSelected();

    Alarms& alarms_;
    QString configPath_;
    QTreeWidget* list_;
    QCheckBox* linkOn_;
    QDoubleSpinBox* linkSeconds_;
    QCheckBox* clipOn_;
    QDoubleSpinBox* clipDb_;
    QDoubleSpinBox* clipSeconds_;
    QCheckBox* silenceOn_;
    QDoubleSpinBox* silenceDb_;
    QDoubleSpinBox* silenceSeconds_;
    QTimeEdit* silenceFrom_;
    QTimeEdit* silenceTo_;
    QLabel* problem_;
};

}  // namespace qel
