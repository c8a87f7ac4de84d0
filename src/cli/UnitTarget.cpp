// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/UnitTarget.h"

#include <ostream>

namespace qel::cli {

bool UnitTarget::take(const std::string& option, CliOptions& options) {
    if (option != "--ip" && option != "--serial") return false;
    if (auto v = options.value()) (option == "--ip" ? ip_ : serial_) = *v;
    return true;
}

void UnitTarget::check(const std::string& command, CliOptions& options) const {
    if (ip_.empty() == serial_.empty())
        options.fail(command + ": give either --ip or --serial");
    else if (!ip_.empty() && !parseIpv4(ip_))
        options.fail(command + ": '" + ip_ + "' is not an IPv4 address");
}

bool UnitTarget::prepare(const GlobalOptions& globals, Equipment& unit, LinkSettings& link,
                         std::ostream& err) {
    link.unitPort = globals.unitPort;
    link.serialMap = &globals.serialMap;
    if (!ip_.empty()) {
        if (!endpoint_.open(globals.localPort)) {
            err << "cannot open UDP port " << globals.localPort << ": " << endpoint_.lastError()
                << "\n";
            return false;
        }
        link.endpoint = &endpoint_;
        unit.setAddress(*parseIpv4(ip_));
        unit.setFlags(linkflag::kUdp);
    } else {
        unit.setPortName(serial_);
        unit.setFlags(linkflag::kSerial);
    }
    return true;
}

}  // namespace qel::cli
