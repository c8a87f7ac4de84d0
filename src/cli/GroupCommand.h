// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/CliOptions.h"
#include "cli/CommandOutput.h"
#include "cli/TargetList.h"
#include "device/Groups.h"

namespace qel::cli {

// A groups file's groups; none (and the failure told, status set) when it cannot be read or
// has errors.
std::optional<GroupSet> readGroupsFile(const QString& path, const char* command,
                                       CommandOutput& output, int& status);

// `group-list` and `group-set`: the groups of a groups file (docs/groups-format.md), and one
// move of a group put on its member units, which are connected for it.
class GroupCommand {
public:
    enum class Kind { List, Set };

    explicit GroupCommand(Kind kind) : kind_(kind) {}
    static const char* usage(Kind kind);
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    enum class Move { None, Gain, Step, Mute, Polarity, Delay };
    const char* name() const { return kind_ == Kind::List ? "group-list" : "group-set"; }
    int list(std::ostream& out, std::ostream& err);
    int set(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    void take(Move move, CliOptions& options);

    Kind kind_;
    TargetList targets_;
    QString file_;
    std::string group_;
    Move move_ = Move::None;
    double value_ = 0;
    bool json_ = false;
    std::string error_;
};

}  // namespace qel::cli
