// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/ModeFileTarget.h"
#include "cli/TargetList.h"
#include "device/ParamCommands.h"

namespace qel::cli {

// `import-eq`: the parametric EQ of a measurement program's text export onto one channel's
// EQ points, of a unit (through the edit path, then verified) or of a mode file record.
class ImportEqCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    std::string file_;
    std::string sourceChannel_;
    cmd::ChannelId channel_{cmd::Side::Input, 0};
    TargetList targets_;
    ModeFileTarget modeFile_;
    std::string error_;
};

}  // namespace qel::cli
