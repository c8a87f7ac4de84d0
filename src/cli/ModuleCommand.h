// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/CliOptions.h"
#include "cli/CommandOutput.h"
#include "netsetup/NetModuleProtocol.h"

namespace qel::cli {

// `modules`, `module-read` and `module-write`: the units' network modules for installers who
// set up many units by script, with the messages and texts of the unit network settings.
class ModuleCommand {
public:
    enum class Kind { Search, Read, Write };

    explicit ModuleCommand(Kind kind) : kind_(kind) {}
    static const char* usage(Kind kind);
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    bool address(CliOptions& options, std::optional<Ipv4>& into);
    int search(const GlobalOptions& globals, CommandOutput& output);
    // The read of module-read and module-write; nothing on failure.
    std::optional<ModuleConfig> read(const GlobalOptions& globals);

    Kind kind_;
    std::optional<Ipv4> ip_, newIp_, newGateway_, pc1_, pc2_;
    std::optional<Mac> mac_;
    bool json_ = false;
    std::string error_;
};

}  // namespace qel::cli
