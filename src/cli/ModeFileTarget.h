// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/CliOptions.h"
#include "device/ModeRecord.h"

namespace qel::cli {

// One record of a PC mode file as a command's source or target: --mode-file FILE --record N,
// and --model when the file's name does not tell its model (mode206/406/408.dat do).
class ModeFileTarget {
public:
    // Takes --mode-file, --record or --model with its value; false for other options.
    bool take(const std::string& option, CliOptions& options);
    bool given() const { return !file_.empty() || record_ >= 0; }
    // Both --mode-file and --record; the model known when needModel.
    void check(const std::string& command, CliOptions& options, bool needModel) const;

    const std::string& file() const { return file_; }
    int record() const { return record_; }
    // From --model, else from the file's name; 0 when neither tells.
    uint32_t model() const;

    // The record; nothing, with a one-line reason in error, when the file cannot be read.
    std::optional<ModeRecord> load(std::string& error) const;
    // Puts the record in place, the file's other records kept, written whole and atomically.
    bool save(const ModeRecord& record, std::string& error) const;

private:
    std::string file_;
    int record_ = -1;
    uint32_t model_ = 0;
};

}  // namespace qel::cli
