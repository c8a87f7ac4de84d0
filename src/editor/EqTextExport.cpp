// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/EqTextExport.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>

#include "controls/MessageBoxes.h"
#include "device/ValueCodes.h"

namespace qel {

namespace {

constexpr const char* kFolderKey = "EqText/Folder";

// The chosen file's folder is where the next file window opens.
QString kept(const QString& configPath, const QString& path) {
    if (!path.isEmpty() && !configPath.isEmpty())
        QSettings(configPath, QSettings::IniFormat)
            .setValue(kFolderKey, QFileInfo(path).absolutePath());
    return path;
}

}  // namespace

QString EqTextExport::folder(const QString& configPath) {
    if (configPath.isEmpty()) return QDir::homePath();
    return QSettings(configPath, QSettings::IniFormat)
        .value(kFolderKey, QDir::homePath())
        .toString();
}

QString EqTextExport::chooseFile(QWidget* parent, const QString& configPath, EqTextFormat& format) {
    const QString generic = tr("滤波器设置文件 (*.txt)"), apo = tr("均衡器配置 (*.txt)");
    QString chosen;
    const QString path =
        QFileDialog::getSaveFileName(parent, tr("导出滤波器"), folder(configPath),
                                     generic + QStringLiteral(";;") + apo, &chosen);
    format = chosen == apo ? EqTextFormat::Apo : EqTextFormat::Generic;
    return kept(configPath, path);
}

QString EqTextExport::chooseImportFile(QWidget* parent, const QString& configPath) {
    return kept(configPath,
                QFileDialog::getOpenFileName(parent, tr("导入滤波器"), folder(configPath),
                                             tr("EQ 文本 (*.txt);;所有文件 (*)")));
}

bool EqTextExport::save(QWidget* parent, const QString& path, const EqExport& text,
                        const QString& channelText) {
    const QString quellmar = QStringLiteral("Quellmar");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::fromStdString(text.text)) < 0 ||
        !file.commit()) {
        showMessage(parent, tr("无法写入文件 %1:\n%2").arg(path, file.errorString()), quellmar);
        return false;
    }
    QStringList lines{
        tr("已把 %1 的 %2 个滤波器写入 %3。").arg(channelText).arg(text.filters).arg(path)};
    for (const LeftOutCrossover& c : text.leftOut)
        lines << tr("%1 (%2) 没有写入: 文本只能容纳 Butterworth 12 dB 的高通和低通。")
                     .arg(c.highPass ? tr("高通") : tr("低通"),
                          QString::fromUtf8(
                              crossoverTypeName(c.type).data(),
                              static_cast<qsizetype>(crossoverTypeName(c.type).size())));
    if (text.eqPassed) lines << tr("该通道的 EQ 处于 \"EQ pass\" 状态; 文件中的滤波器是打开的。");
    showMessage(parent, lines.join(QLatin1Char('\n')), quellmar, MsgIcon::Information);
    return true;
}

}  // namespace qel
