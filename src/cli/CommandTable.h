// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CliOptions.h"

namespace qel::cli {

// What follows an option, or stands after a command without an option name.
enum class ArgKind { None, Value, File };

struct OptionSpec {
    const char* name;
    ArgKind value;
};

// One command of quellmar-cli: --help shows its usage, the shell completion offers its
// options, and main() runs it. jsonErrors: a usage error is told as a JSON document.
struct CommandSpec {
    const char* name;
    const char* usage;
    std::vector<OptionSpec> options;  // the global ones aside
    ArgKind operand;
    int (*run)(CliOptions& options, const GlobalOptions& globals, bool jsonErrors);

    bool takes(const std::string& option) const;
};

const std::vector<CommandSpec>& commandTable();
const CommandSpec* findCommand(const std::string& name);
void printHelp(std::ostream& out);

}  // namespace qel::cli
