// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/PresetTransfer.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include "controls/MessageBoxes.h"
#include "device/EventLog.h"
#include "device/ModeImage.h"
#include "device/PresetJson.h"
#include "device/UnitText.h"
#include "editor/EditorHost.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/QelSyncBar.h"
#include "link/Equipment.h"
#include "ui/PresetIssueWords.h"

namespace qel {

namespace {

const QString kQuellmar = QStringLiteral("Quellmar");
constexpr int kShownIssues = 15;

QString filter() {
    return PresetTransfer::tr("预设 (*.json)");
}

// One line per issue, cut after the first few.
QString issueLines(const std::vector<PresetIssue>& issues) {
    QStringList lines;
    for (size_t i = 0; i < issues.size() && i < size_t{kShownIssues}; ++i)
        lines << PresetIssueWords::text(issues[i]);
    if (issues.size() > size_t{kShownIssues})
        lines << PresetTransfer::tr("... 另有 %1 项").arg(issues.size() - kShownIssues);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

bool PresetTransfer::exportTo(CQelEquipmentDlg& editor, const QString& path) {
    const uint32_t model = editor.unit().modelCode();
    if (!isKnownModel(model)) {
        showMessage(&editor, tr("未知的设备型号, 无法导出预设。"), kQuellmar);
        return false;
    }
    const QByteArray json = presetJson(editor.edit().image().record(), model,
                                       unpaddedUnitText(editor.unit().deviceName()));
    // Written beside the target and put in place only when complete.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(json) == json.size() && file.commit())
        return true;
    showMessage(&editor, tr("无法写入文件 %1:\n%2").arg(path, file.errorString()), kQuellmar);
    return false;
}

bool PresetTransfer::importFrom(CQelEquipmentDlg& editor, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(&editor, tr("无法读取文件 %1:\n%2").arg(path, file.errorString()), kQuellmar);
        return false;
    }
    const PresetRead preset = readPresetJson(file.readAll(), editor.unit().modelCode());
    if (!preset.ok()) {
        showMessage(&editor, tr("预设文件有错误, 没有导入:\n%1").arg(issueLines(preset.errors)),
                    kQuellmar);
        return false;
    }
    const QString name = QString::fromStdString(unpaddedUnitText(preset.record.name()));
    QString question = tr("要把预设 \"%1\" 写入设备吗 ?").arg(name);
    if (!preset.moved.empty())
        question =
            tr("以下数值已移到设备能保存的值:\n%1\n\n").arg(issueLines(preset.moved)) + question;
    if (showMessage(&editor, question, kQuellmar, MsgIcon::Question, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return false;

    ModeRecord& record = editor.edit().image().record();
    const ModeRecord before = record;
    record = preset.record;
    std::shared_ptr<const VerifyReport> report;
    const auto result = editor.writeImageVerified(report);
    if (EventLog* log = editor.host().events())
        log->transfer(editor.unit(), EventRecord::kImport, result, QFileInfo(path).fileName());
    if (result == UnitTransfer::Result::Success) {
        editor.fullTransferDone();
        return true;
    }
    // The editor keeps its settings; the unit may hold part of the preset, which the editor's
    // sync offer then puts right.
    record = before;
    editor.syncBar()->refresh();
    if (result == UnitTransfer::Result::Cancelled) return false;  // as the user asked
    showMessage(&editor,
                tr("预设没有成功写入设备, 编辑器保留原来的设置:\n%1")
                    .arg(CQelSyncBar::failureText(report.get(), editor.unit().modelCode())),
                kQuellmar);
    return false;
}

void PresetTransfer::chooseExport(CQelEquipmentDlg& editor, QWidget* parent) {
    const QString path = QFileDialog::getSaveFileName(
        parent, tr("导出预设"),
        QString::fromStdString(unpaddedUnitText(editor.unit().deviceName())) +
            QStringLiteral(".json"),
        filter());
    if (path.isEmpty()) return;
    exportTo(editor, path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive)
                         ? path
                         : path + QStringLiteral(".json"));
}

void PresetTransfer::chooseImport(CQelEquipmentDlg& editor, QWidget* parent) {
    const QString path = QFileDialog::getOpenFileName(parent, tr("导入预设"), {}, filter());
    if (!path.isEmpty()) importFrom(editor, path);
}

}  // namespace qel
