// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/PresetFile.h"

#include <QFile>
#include <QSaveFile>

#include "cli/ErrorText.h"
#include "device/DownloadVerify.h"
#include "device/PresetJson.h"

namespace qel::cli {

std::optional<QByteArray> PresetFile::read(const std::string& path, std::string& error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path + ": " + file.errorString().toStdString();
        return std::nullopt;
    }
    return file.readAll();
}

bool PresetFile::write(const std::string& path, const QByteArray& bytes, std::string& error) {
    QSaveFile file(QString::fromStdString(path));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    error = "cannot write " + path + ": " + file.errorString().toStdString();
    return false;
}

std::vector<std::string> PresetFile::notes(const ModeRecord& record, uint32_t modelCode,
                                           const QByteArray& json) {
    std::vector<std::string> notes;
    const PresetRead back = readPresetJson(json, modelCode);
    for (const auto& e : back.errors)
        notes.push_back("will not import as it is: " + presetIssueText(e));
    if (!back.ok()) return notes;
    for (const auto& d : DownloadVerify::compare(back.record, record, modelCode))
        notes.push_back("not exact: " + d.param.name() + " holds " + d.unitValue +
                        ", the preset says " + d.recordValue);
    if (back.record.nameBytes() != record.nameBytes() || back.record.date() != record.date() ||
        back.record.isUsed() != record.isUsed())
        notes.push_back("not exact: the name, date or used flag");
    return notes;
}

}  // namespace qel::cli
