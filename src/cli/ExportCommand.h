// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/CommandOutput.h"
#include "cli/ModeFileTarget.h"
#include "cli/TargetList.h"

namespace qel::cli {

// `export`: a unit's settings (read in full) or one record of a mode file as a JSON preset.
class ExportCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    int exportModeFile(CommandOutput& output);

    TargetList targets_;
    ModeFileTarget modeFile_;
    std::string out_;
    bool json_ = false;
    std::string error_;
};

}  // namespace qel::cli
