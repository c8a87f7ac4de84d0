// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QJsonObject>

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/CommandOutput.h"
#include "link/Equipment.h"

namespace qel::cli {

// `search`: runs one search for units and prints a line per unit found.
class SearchCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    // The unit's line of text, and its entry in "units".
    static QJsonObject listUnit(const Equipment& e, qsizetype position, CommandOutput& output);

    bool network_ = true;
    bool json_ = false;
    bool serial_ = true;
    std::string error_;
};

}  // namespace qel::cli
