// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/ModeRecord.h"

namespace qel::cli {

// Reading and writing the files of export, import and import-eq.
class PresetFile {
public:
    // The whole file; nothing, with a one-line reason in error, when it cannot be read.
    static std::optional<QByteArray> read(const std::string& path, std::string& error);
    // Written to a temporary file first and put in place only when complete.
    static bool write(const std::string& path, const QByteArray& bytes, std::string& error);
    // What a document written from record would not give back: its own import errors, or
    // the parameters, name, date and used flag that would come back different (a record
    // holding codes the unit does not use).
    static std::vector<std::string> notes(const ModeRecord& record, uint32_t modelCode,
                                          const QByteArray& json);
};

}  // namespace qel::cli
