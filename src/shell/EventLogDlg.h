// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>

#include "shell/EventLogModel.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QTableView;

namespace qel {

class EventLog;

// "事件日志": the event log's files, today's and earlier ones, in a table that the log's new
// entries join while it is open; filtered by unit, kind and time range, and exported as CSV.
// Lines of a file that are not entries are passed over and counted. Modeless.
class EventLogDlg : public QDialog {
    Q_OBJECT
public:
    EventLogDlg(EventLog& log, QWidget* parent);

    EventLogModel& model() { return model_; }
    // Reads the files again.
    void reload();
    // Writes the rows shown; false (with a message box) when the file cannot be written.
    bool exportCsv(const QString& path);
    QComboBox* unitBox() const { return unit_; }
    QComboBox* kindBox() const { return kind_; }
    QLabel* skippedLabel() const { return skipped_; }

private:
    void applyFilter();
    void fillUnits();
    void chooseExport();

    EventLog& log_;
    EventLogModel model_;
    QComboBox* unit_;
    QComboBox* kind_;
    QCheckBox* ranged_;
    QDateTimeEdit* from_;
    QDateTimeEdit* to_;
    QTableView* table_;
    QLabel* skipped_;
};

}  // namespace qel
