// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CommandOutput.h"
#include "cli/TargetList.h"
#include "device/ShowFile.h"

namespace qel::cli {

// `show-diff` and `show-load`: the units of a show file found by a search (by name and model,
// the address deciding between alike ones), each read in full and compared with the file;
// show-load then sends the file's settings to each unit that differs, once told to.
class ShowLoadCommand {
public:
    enum class Kind { Diff, Load };
    // The exit status when a unit differs from the file (show-diff), or would change and
    // --yes was not given (show-load).
    static constexpr int kDiffers = 2;

    explicit ShowLoadCommand(Kind kind) : kind_(kind) {}
    static const char* usage(Kind kind);
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    // Compares one matched unit with its file unit and, when loading, sends the file's.
    bool work(const ShowUnit& wanted, TargetList::Unit& u, TargetList::Result& r);
    // The file units without a match, one line each; true when there are any.
    bool tellUnmatched(const ShowRead& show, const std::vector<int>& match,
                       CommandOutput& output) const;
    const char* name() const { return kind_ == Kind::Diff ? "show-diff" : "show-load"; }

    Kind kind_;
    std::string file_;
    bool yes_ = false;
    TargetList targets_;
    std::atomic<bool> differs_{false};
    const std::atomic<bool>* interrupted_ = nullptr;
    std::string error_;
};

}  // namespace qel::cli
