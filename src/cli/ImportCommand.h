// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/CommandOutput.h"
#include "cli/ModeFileTarget.h"
#include "cli/TargetList.h"
#include "device/PresetJson.h"

namespace qel::cli {

// `import`: a JSON preset into units (a full download, verified) or into a mode file record.
class ImportCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    int intoModeFile(const PresetRead& preset, CommandOutput& output) const;

    std::string file_;
    TargetList targets_;
    ModeFileTarget modeFile_;
    bool verify_ = true;
    bool json_ = false;
    std::string error_;
};

}  // namespace qel::cli
