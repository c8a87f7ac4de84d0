// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QJsonObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CommandOutput.h"
#include "link/Equipment.h"

namespace qel::cli {

// The units one command works on: --ip and --serial, each as often as wanted, or --all for
// every unit a search finds. The units are worked on side by side, one thread each, sharing
// one UDP endpoint; each gives one result line, printed in the order the units were named.
class TargetList {
public:
    struct Unit {
        std::string label;  // the address or port name
        Equipment& equipment;
        const LinkSettings& link;
        size_t index;  // its place among the units worked on
    };
    // How the work on one unit went: line (further lines indented by two spaces may follow),
    // on failure a short stable word for it, and fields for the unit's entry with --json.
    struct Result {
        std::string line;
        const char* code = "failed";
        QJsonObject fields;
    };
    // Does the work on one unit; true on success. Runs on the unit's own thread.
    using Job = std::function<bool(Unit& unit, Result& result)>;

    // Chooses the units to work on among those named or found (by their places there), in
    // the order they are worked on and reported.
    using Pick =
        std::function<std::vector<size_t>(const std::vector<std::shared_ptr<Equipment>>& units)>;

    // Takes --ip, --serial or --all with its value; false when the option is none of them.
    bool take(const std::string& option, CliOptions& options);
    // As --all: every unit a search finds.
    void searchAll() { all_ = true; }
    // At least one target (exactly one when !many), each named once and well formed.
    void check(const std::string& command, CliOptions& options, bool many = true) const;
    bool given() const { return all_ || !ips_.empty() || !serials_.empty(); }
    // More than one unit may be worked on.
    bool several() const { return all_ || ips_.size() + serials_.size() > 1; }

    // Runs the job on every unit: successes go to out, failures to err, each line headed by
    // its unit's label; with --json one entry per unit in "units". Returns the exit status:
    // 1 when any unit failed or none was found. With pick, only the units it chooses.
    int run(const GlobalOptions& globals, const Job& job, CommandOutput& output,
            const Pick& pick = {});
    // Connects every unit side by side, each read whole (a failure is told on err and the
    // others go on), then calls serve with those connected and the link settings they use;
    // they are let go of the orderly way once it returns. 1 when none connected, else what
    // serve returns.
    using Serve = std::function<int(const std::vector<std::shared_ptr<Equipment>>& units,
                                    const LinkSettings& link)>;
    int hold(const GlobalOptions& globals, const Serve& serve, CommandOutput& output);

private:
    // The units named, or found by --all; false (and the failure told) when there are none.
    bool gather(const GlobalOptions& globals, const LinkSettings& link,
                std::vector<std::shared_ptr<Equipment>>& units, std::vector<std::string>& labels,
                CommandOutput& output) const;
    // The UDP endpoint opened when a unit needs it, the link settings over it and the units;
    // false (and the failure told) when either cannot be had.
    bool open(const GlobalOptions& globals, UdpEndpoint& endpoint, LinkSettings& link,
              std::vector<std::shared_ptr<Equipment>>& units, std::vector<std::string>& labels,
              CommandOutput& output) const;
    int report(const std::vector<std::string>& labels, const std::vector<Result>& results,
               const std::vector<char>& ok, CommandOutput& output) const;

    std::vector<std::string> ips_;
    std::vector<std::string> serials_;
    bool all_ = false;
};

}  // namespace qel::cli
