// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/UnitTarget.h"

namespace qel::cli {

// `read`: connects, reads the unit's whole parameter set and writes the image to a file.
class ReadCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    UnitTarget target_;
    std::string outFile_;
    bool json_ = false;
    std::string error_;
};

}  // namespace qel::cli
