// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/ModeFileTarget.h"
#include "cli/TargetList.h"

namespace qel::cli {

// `download`: connects and sends one record of a mode file to one or more units, each
// verified by reading it back unless --no-verify.
class DownloadCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    TargetList targets_;
    ModeFileTarget source_;
    bool verify_ = true;
    bool json_ = false;
    std::string error_;
};

}  // namespace qel::cli
