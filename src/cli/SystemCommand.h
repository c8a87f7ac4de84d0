// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/CliOptions.h"
#include "cli/CommandOutput.h"
#include "cli/UnitTarget.h"

namespace qel::cli {

// The system functions of the editor's system page for one unit: `modes`, `mode-switch`,
// `password`, `store`, `recall`, `pc-save` and `pc-apply`. They run the same sequences as the
// page and say its messages in English; a refusal or failure exits 1.
class SystemCommand {
public:
    enum class Kind { Modes, ModeSwitch, Password, Store, Recall, PcSave, PcApply };

    explicit SystemCommand(Kind kind) : kind_(kind) {}
    static const char* usage(Kind kind);
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    static const char* nameOf(Kind kind);
    // The number given after the command (as the page shows it, from 1).
    void takeNumber(const std::string& text, CliOptions& options);
    int modes(Equipment& unit, CommandOutput& output);
    int modeSwitch(Equipment& unit, CommandOutput& output);
    int password(Equipment& unit, CommandOutput& output);
    int store(Equipment& unit, CommandOutput& output);
    int recall(Equipment& unit, const LinkSettings& link, CommandOutput& output);
    int pcSave(Equipment& unit, CommandOutput& output);
    int pcApply(Equipment& unit, const LinkSettings& link, CommandOutput& output);

    Kind kind_;
    UnitTarget target_;
    int number_ = 0;
    std::optional<std::string> name_, password_, old_, new_;
    std::optional<bool> engineering_;
    bool json_ = false;
    std::string error_;
};

}  // namespace qel::cli
