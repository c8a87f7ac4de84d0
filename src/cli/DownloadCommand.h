#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/UnitTarget.h"

namespace qel::cli {

// `download`: connects and sends one record of a mode file to the unit.
class DownloadCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    UnitTarget target_;
    std::string modeFile_;
    int record_ = -1;
    std::string error_;
};

}  // namespace qel::cli
