// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// quellmar-cli: the headless front end for scripts and for poking units by hand.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/BashCompletion.h"
#include "cli/CliOptions.h"
#include "cli/CommandOutput.h"
#include "cli/CommandTable.h"
#include "platform/Trace.h"

int main(int argc, char** argv) {
    using namespace qel::cli;
    // The trace goes to standard error, and only with --trace or QT_LOGGING_RULES.
    qel::installTraceHandler(stderr);
    qel::setTraceEnabled(false);
    // Global options may stand before the command as well as after it.
    std::vector<std::string> args(argv + 1, argv + argc);
    const size_t at = CliOptions::commandIndex(args);
    const std::string command = at < args.size() ? args[at] : std::string();
    if (command.empty() || command == "--help" || command == "-h") {
        printHelp(command.empty() ? std::cerr : std::cout);
        return command.empty() ? 1 : 0;
    }
    if (command == "--version") {
        std::cout << "quellmar-cli " QUELLMAR_VERSION "\n";
        return 0;
    }
    // Not in --help: the build writes the installed completion script with it.
    if (command == "--completion" && at + 1 < args.size() && args[at + 1] == "bash") {
        printBashCompletion(std::cout);
        return 0;
    }
    args.erase(args.begin() + static_cast<long>(at));
    const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
    const CommandSpec* spec = findCommand(command);
    if (!spec)
        return CommandOutput(json, std::cout, std::cerr)
            .fail("usage", "unknown command '" + command + "' (see quellmar-cli --help)");
    GlobalOptions globals;
    CliOptions options(args, globals);
    return spec->run(options, globals, json && spec->takes("--json"));
}
