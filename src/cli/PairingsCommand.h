// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"

namespace qel::cli {

// `paired` and `unpair`: the browsers paired with the remote control, as the settings file
// keeps them, for a PC without a window. A running serve or window program on the same file
// closes an unpaired browser's connections.
class PairingsCommand {
public:
    enum class Kind { List, Unpair };

    explicit PairingsCommand(Kind kind) : kind_(kind) {}
    static const char* usage(Kind kind);
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    const char* name() const { return kind_ == Kind::List ? "paired" : "unpair"; }

    Kind kind_;
    QString config_ = QStringLiteral("QelConfig.ini");
    QString id_;
    bool json_ = false;
    std::string error_;
};

}  // namespace qel::cli
