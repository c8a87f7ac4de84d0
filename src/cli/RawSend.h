// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/UnitTarget.h"

namespace qel::cli {

// `send`: puts one command on a unit's queue through the link engine, waits for it and
// prints the reply's payload as hex.
class RawSend {
public:
    static const char* usage();

    // Parses the sub-command's arguments; false with a reason in error().
    bool parse(CliOptions& options);
    // Runs the exchange; returns the process exit code.
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    UnitTarget target_;
    int block_ = -1;
    int operation_ = -1;
    int channel_ = -1;
    int code_ = -1;
    std::vector<uint8_t> payload_ = {0, 0};
    int tries_ = 1;
    uint32_t timeoutMs_ = 1000;
    uint32_t replyLength_ = 118;
    uint32_t waitMs_ = 3000;
    std::string error_;
};

}  // namespace qel::cli
