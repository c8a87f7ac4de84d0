// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace qel {

class CQelEquipmentDlg;

// Presets of an open editor as JSON files (docs/preset-format.md): export writes the editor's
// record; import reads one, says what is wrong with it or what had to move, and on the user's
// word puts it into the editor's image and into the unit with a proven download. A file that
// cannot be used, or a download that fails, leaves the editor's settings as they were.
// GUI thread only; failures are told in message boxes.
class PresetTransfer : public QObject {
    Q_OBJECT
public:
    static bool exportTo(CQelEquipmentDlg& editor, const QString& path);
    static bool importFrom(CQelEquipmentDlg& editor, const QString& path);

    // The same after a file window; parent owns the windows.
    static void chooseExport(CQelEquipmentDlg& editor, QWidget* parent);
    static void chooseImport(CQelEquipmentDlg& editor, QWidget* parent);
};

}  // namespace qel
