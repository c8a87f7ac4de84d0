// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "device/ModeRecord.h"

namespace qel {

// What went wrong with a mode file; the values of each are listed beside it.
enum class ModeFileProblem : uint8_t {
    None,
    UnknownModel,      // the model code
    NoRecord,          // the record index
    NoPcMode,          // the PC mode number (1-based), the model code
    NameNotGbk,        // the characters GBK has no code for
    CannotOpen,        // path, the system's words
    ReadOnly,          // path, the system's words; a note: the file was read
    CannotRead,        // path, the system's words
    CannotCreateTemp,  // path, the system's words
    CannotWrite,       // path, the system's words
    CannotReplace,     // path, the system's words
};

// Outcome of a mode file operation: ok, or what went wrong and its values, for the front end
// to word. A read-only file that was read is ok with its problem kept as a note.
struct ModeFileStatus {
    QString fileName;
    bool ok = true;
    ModeFileProblem problem = ModeFileProblem::None;
    QStringList values;
    bool hasProblem() const { return problem != ModeFileProblem::None; }
};

// The modes kept on the PC: one file per model ("mode206.dat", "mode406.dat", "mode408.dat")
// of 32 records, 24832 bytes, no header, held in memory one buffer per model. Every call locks,
// so any thread may use it; file work runs outside the lock on a copy.
class ModeFileStore {
public:
    static constexpr int kRecords = 32;
    static constexpr size_t kFileSize = kRecords * ModeRecord::kSize;  // 24832

    // folder: where the files live; empty means the current directory.
    explicit ModeFileStore(QString folder = QString());

    // "mode206.dat", "mode406.dat" or "mode408.dat"; empty for an unknown model.
    static QString fileName(uint32_t modelCode);
    QString filePath(uint32_t modelCode) const;

    // Loads the three files in the order 408, 406, 206. A missing file is created empty, at
    // most the first 24832 bytes are read and a shorter file leaves the rest zero. A file
    // that can be read but not updated is still read. One status per file, in that order.
    std::vector<ModeFileStatus> loadAll();
    ModeFileStatus load(uint32_t modelCode);

    // Record 0..31 of a model; nothing for an unknown model or index.
    std::optional<ModeRecord> record(uint32_t modelCode, int index) const;
    // False (and nothing changed) for an unknown model or index.
    bool setRecord(uint32_t modelCode, int index, const ModeRecord& record);
    // Copy of a model's whole buffer (empty for an unknown model).
    std::vector<uint8_t> contents(uint32_t modelCode) const;

    // Writes all 32 records of the model to a temporary file beside the mode file and puts it
    // in the old file's place only when every byte was written, so a failed or interrupted
    // save leaves the old file as it was.
    ModeFileStatus save(uint32_t modelCode);

    // A mode file of any name: model by the standard names ("mode408.dat" is 4), 0 otherwise.
    static uint32_t modelOfFile(const QString& path);
    // Record 0..31 of the file at path; a short file reads as zeros behind its end.
    static std::optional<ModeRecord> readRecordOfFile(const QString& path, int index,
                                                      ModeFileStatus* error = nullptr);
    // Replaces record 0..31 of the file at path and keeps the others (a missing file counts as
    // empty), writing the whole file the way save() does.
    static ModeFileStatus saveRecordInFile(const QString& path, int index,
                                           const ModeRecord& record);

private:
    static std::optional<size_t> slotOf(uint32_t modelCode);

    const QString folder_;
    std::mutex saveMutex_;      // serialises saves, so the last copy taken is the last written
    mutable std::mutex mutex_;  // guards buffers_
    std::array<std::vector<uint8_t>, 3> buffers_;
};

}  // namespace qel
