// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/TargetList.h"
#include "remote/OscServer.h"

namespace qel::cli {

// `serve`: the remote control (the page, OSC or both) without a window, for a small PC in
// the rack.
class ServeCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    TargetList targets_;
    QString address_ = QStringLiteral("127.0.0.1");
    quint16 port_ = 8740;
    bool readOnly_ = false;
    bool listen_ = false;
    OscServer::Settings osc_;  // enabled by --osc
    QString config_ = QStringLiteral("QelConfig.ini");
    QString groups_;  // the groups file kept up to date; none: no groups
    QString events_;  // the event log's folder; none: no log
    QString alarms_;  // the alarm settings file; none: the default settings
    std::string error_;
};

}  // namespace qel::cli
