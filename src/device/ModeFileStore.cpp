// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ModeFileStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <utility>

#include "device/Models.h"

namespace qel {

namespace {

ModeFileStatus failed(const QString& name, ModeFileProblem problem, const QString& path,
                      const QString& systemWords) {
    return {name, false, problem, {path, systemWords}};
}

ModeFileStatus unknownModel(uint32_t modelCode) {
    return {{}, false, ModeFileProblem::UnknownModel, {QString::number(modelCode)}};
}

// Reads at most size bytes; returns how many, or -1 on a read error.
qint64 readUpTo(QFile& file, uint8_t* out, qint64 size) {
    qint64 total = 0;
    while (total < size) {
        const qint64 n = file.read(reinterpret_cast<char*>(out) + total, size - total);
        if (n < 0) return -1;
        if (n == 0) break;
        total += n;
    }
    return total;
}

// Opens for reading and updating, creating a missing file; a file that cannot be updated is
// opened for reading alone and the reason is kept in note.
bool openForLoad(QFile& file, QString& note) {
    if (file.open(QIODevice::ReadWrite)) return true;
    note = file.errorString();
    return file.exists() && file.open(QIODevice::ReadOnly);
}

}  // namespace

ModeFileStore::ModeFileStore(QString folder) : folder_(std::move(folder)) {
    for (auto& buffer : buffers_) buffer.assign(kFileSize, 0);
}

QString ModeFileStore::fileName(uint32_t modelCode) {
    switch (modelCode) {
        case model::kQD206:
            return QStringLiteral("mode206.dat");
        case model::kQD406:
            return QStringLiteral("mode406.dat");
        case model::kQD408:
            return QStringLiteral("mode408.dat");
        default:
            return {};
    }
}

QString ModeFileStore::filePath(uint32_t modelCode) const {
    const QString name = fileName(modelCode);
    if (name.isEmpty()) return {};
    return folder_.isEmpty() ? name : QDir(folder_).filePath(name);
}

std::optional<size_t> ModeFileStore::slotOf(uint32_t modelCode) {
    if (!isKnownModel(modelCode)) return std::nullopt;
    return modelCode - model::kQD206;
}

std::vector<ModeFileStatus> ModeFileStore::loadAll() {
    return {load(model::kQD408), load(model::kQD406), load(model::kQD206)};
}

ModeFileStatus ModeFileStore::load(uint32_t modelCode) {
    const QString name = fileName(modelCode);
    const auto slot = slotOf(modelCode);
    if (!slot) return unknownModel(modelCode);
    ModeFileStatus status{name, true, ModeFileProblem::None, {}};
    std::vector<uint8_t> content(kFileSize, 0);
    QFile file(filePath(modelCode));
    QString note;
    if (!openForLoad(file, note)) {
        status = failed(name, ModeFileProblem::CannotOpen, file.fileName(), note);
    } else {
        if (!note.isEmpty())
            status = {name, true, ModeFileProblem::ReadOnly, {file.fileName(), note}};
        if (readUpTo(file, content.data(), static_cast<qint64>(kFileSize)) < 0)
            status = failed(name, ModeFileProblem::CannotRead, file.fileName(), file.errorString());
    }
    std::lock_guard lock(mutex_);
    buffers_[*slot] = std::move(content);
    return status;
}

std::optional<ModeRecord> ModeFileStore::record(uint32_t modelCode, int index) const {
    const auto slot = slotOf(modelCode);
    if (!slot || index < 0 || index >= kRecords) return std::nullopt;
    std::lock_guard lock(mutex_);
    return ModeRecord::fromBytes(buffers_[*slot].data() + index * ModeRecord::kSize);
}

bool ModeFileStore::setRecord(uint32_t modelCode, int index, const ModeRecord& record) {
    const auto slot = slotOf(modelCode);
    if (!slot || index < 0 || index >= kRecords) return false;
    std::lock_guard lock(mutex_);
    record.toBytes(buffers_[*slot].data() + index * ModeRecord::kSize);
    return true;
}

std::vector<uint8_t> ModeFileStore::contents(uint32_t modelCode) const {
    const auto slot = slotOf(modelCode);
    if (!slot) return {};
    std::lock_guard lock(mutex_);
    return buffers_[*slot];
}

namespace {

// Writes a temporary file beside path and puts it in the file's place only when every byte
// was written.
ModeFileStatus writeWhole(const QString& path, const QString& name,
                          const std::vector<uint8_t>& content) {
    QSaveFile file(path);
    auto failure = [&](ModeFileProblem problem) {
        return failed(name, problem, file.fileName(), file.errorString());
    };
    if (!file.open(QIODevice::WriteOnly)) return failure(ModeFileProblem::CannotCreateTemp);
    const auto size = static_cast<qint64>(content.size());
    if (file.write(reinterpret_cast<const char*>(content.data()), size) != size) {
        auto status = failure(ModeFileProblem::CannotWrite);
        file.cancelWriting();
        return status;
    }
    if (!file.commit()) return failure(ModeFileProblem::CannotReplace);
    return {name, true, ModeFileProblem::None, {}};
}

// The first kFileSize bytes of a file, zero-filled behind its end.
std::optional<std::vector<uint8_t>> readWhole(const QString& path, bool missingIsEmpty,
                                              ModeFileStatus* error) {
    std::vector<uint8_t> content(ModeFileStore::kFileSize, 0);
    QFile file(path);
    if (missingIsEmpty && !file.exists()) return content;
    if (!file.open(QIODevice::ReadOnly) ||
        readUpTo(file, content.data(), static_cast<qint64>(content.size())) < 0) {
        if (error)
            *error = failed(QFileInfo(path).fileName(), ModeFileProblem::CannotRead, path,
                            file.errorString());
        return std::nullopt;
    }
    return content;
}

}  // namespace

ModeFileStatus ModeFileStore::save(uint32_t modelCode) {
    const QString name = fileName(modelCode);
    if (name.isEmpty()) return unknownModel(modelCode);
    std::lock_guard saving(saveMutex_);
    return writeWhole(filePath(modelCode), name, contents(modelCode));
}

uint32_t ModeFileStore::modelOfFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    for (uint32_t m : {model::kQD206, model::kQD406, model::kQD408})
        if (name == fileName(m)) return m;
    return 0;
}

std::optional<ModeRecord> ModeFileStore::readRecordOfFile(const QString& path, int index,
                                                          ModeFileStatus* error) {
    if (index < 0 || index >= kRecords) return std::nullopt;
    const auto content = readWhole(path, false, error);
    if (!content) return std::nullopt;
    return ModeRecord::fromBytes(content->data() + static_cast<size_t>(index) * ModeRecord::kSize);
}

ModeFileStatus ModeFileStore::saveRecordInFile(const QString& path, int index,
                                               const ModeRecord& record) {
    const QString name = QFileInfo(path).fileName();
    if (index < 0 || index >= kRecords)
        return {name, false, ModeFileProblem::NoRecord, {QString::number(index)}};
    ModeFileStatus error;
    auto content = readWhole(path, true, &error);
    if (!content) return error;
    record.toBytes(content->data() + static_cast<size_t>(index) * ModeRecord::kSize);
    return writeWhole(path, name, *content);
}

}  // namespace qel
