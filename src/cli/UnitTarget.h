// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"

namespace qel::cli {

// The unit a command talks to: --ip A.B.C.D or --serial COMn, and the link set-up for it.
class UnitTarget {
public:
    // Takes --ip or --serial with its value; false when the option is neither.
    bool take(const std::string& option, CliOptions& options);
    // Checks that exactly one was given and that it is well formed.
    void check(const std::string& command, CliOptions& options) const;
    // Opens what the unit needs (the UDP endpoint for a network unit) and describes the unit
    // on the Equipment; false with a one-line reason on err.
    bool prepare(const GlobalOptions& globals, Equipment& unit, LinkSettings& link,
                 std::ostream& err);
    std::string describe() const { return ip_.empty() ? serial_ : ip_; }

private:
    std::string ip_;
    std::string serial_;
    UdpEndpoint endpoint_;
};

}  // namespace qel::cli
