// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/ModeFileTarget.h"
#include "cli/TargetList.h"
#include "device/MeasurementExport.h"
#include "device/ParamCommands.h"

namespace qel::cli {

// `export-eq`: one channel's EQ points (and an output's Butterworth 12 dB high-pass and
// low-pass) of a unit or a mode file record, as the EQ text a measurement program reads.
class ExportEqCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    // Writes the channel's text to --out and says what it left out.
    bool write(const ModeRecord& record, const std::string& title, std::string& line) const;

    cmd::ChannelId channel_{cmd::Side::Input, 0};
    EqTextFormat format_ = EqTextFormat::Generic;
    std::string out_;
    TargetList targets_;
    ModeFileTarget modeFile_;
    std::string error_;
};

}  // namespace qel::cli
