#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"

namespace qel::cli {

// `search`: runs one search for units and prints a line per unit found.
class SearchCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    bool network_ = true;
    bool serial_ = true;
    std::string error_;
};

}  // namespace qel::cli
