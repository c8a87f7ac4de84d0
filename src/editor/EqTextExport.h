// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>

#include "device/MeasurementExport.h"

class QWidget;

namespace qel {

// The EQ pages' "导出滤波器...": a channel's EQ as the EQ text a measurement program reads.
// The file windows of export and import open in the folder where such a file was last chosen
// (the home folder at first), kept in the program's settings file configPath.
class EqTextExport : public QObject {
    Q_OBJECT
public:
    // Asks for the file and its layout; an empty path when the user cancels.
    static QString chooseFile(QWidget* parent, const QString& configPath, EqTextFormat& format);
    // Asks for an EQ text to import; an empty path when the user cancels.
    static QString chooseImportFile(QWidget* parent, const QString& configPath);
    // Where those file windows open.
    static QString folder(const QString& configPath);
    // Writes the channel's text and says what it holds and left out; false, after saying why,
    // when the file cannot be written. channelText names the channel ("输出 2").
    static bool save(QWidget* parent, const QString& path, const EqExport& text,
                     const QString& channelText);
};

}  // namespace qel
