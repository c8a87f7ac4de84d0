// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "device/ModeRecord.h"
#include "device/ShowFile.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

namespace qel {

// The table shown before a show file is sent: one row per unit of the file with the list's
// unit it goes to (its match, another unit of its model, none, or a new virtual unit), how
// many settings differ from what that unit holds, and whether it is sent. OK with one list
// unit chosen twice, or a new virtual unit whose name a unit cannot keep, says so and stays.
class ShowTableDlg : public QDialog {
    Q_OBJECT
public:
    // A unit of the list: how the table names it, its model and, when read, its settings.
    struct Present {
        QString label;
        uint32_t modelCode = 0;
        std::optional<ModeRecord> record;
    };
    // Reads a present unit's settings (by its index in present); none when it cannot.
    using Reader = std::function<std::optional<ModeRecord>(int present)>;
    static constexpr int kNone = -1, kNewVirtual = -2;
    enum Column { kFileColumn, kUnitColumn, kDiffColumn, kSendColumn };

    // matches: per file unit, the index of its match in present, or -1.
    ShowTableDlg(std::vector<ShowUnit> file, std::vector<Present> present,
                 const std::vector<int>& matches, QWidget* parent = nullptr);

    int rowCount() const { return static_cast<int>(file_.size()); }
    // The present unit's index, kNone or kNewVirtual.
    int choice(int row) const;
    void choose(int row, int choice);
    bool sent(int row) const;
    // Settings that differ from the chosen unit's; -1 when not known (none chosen, a new
    // unit, or a unit not read).
    int differences(int row) const;
    QTableWidget* table() const { return table_; }
    QComboBox* unitBox(int row) const;
    QCheckBox* sendBox(int row) const;
    // Why the choices cannot be taken; empty when they can.
    QString problem() const;
    // Lines shown above the table (the values the file's reading had to move).
    void setNotes(const QString& notes);
    // A unit chosen by hand that was not read is read through reader, and counted as a
    // matched one is.
    void setReader(Reader reader) { reader_ = std::move(reader); }

    void accept() override;

private:
    void addRow(int row, int match);
    void showChoice(int row);
    QString differenceTip(int row, const ModeRecord& unit) const;
    void fitToTable();

    std::vector<ShowUnit> file_;
    std::vector<Present> present_;
    QLabel* notes_ = nullptr;
    QTableWidget* table_ = nullptr;
    Reader reader_;
};

}  // namespace qel
