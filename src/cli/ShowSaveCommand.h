// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <string>

#include <QString>
#include "cli/CliOptions.h"
#include "cli/TargetList.h"

#include "link/Equipment.h"
#include "platform/SerialPortMap.h"

namespace qel::cli {

// Where a show file says a unit is: a serial unit by its device path, others by their address.
std::string showAddress(const Equipment& unit, const SerialPortMap& serialMap);

// `show-save`: every unit read in full, written as one show file; nothing is written unless
// every unit was read.
class ShowSaveCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    TargetList targets_;
    std::string out_;
    QString groups_;  // the groups file whose groups the show holds; none: no groups
    std::string error_;
};

}  // namespace qel::cli
