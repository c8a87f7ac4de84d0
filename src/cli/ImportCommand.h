#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliOptions.h"
#include "cli/ModeFileTarget.h"
#include "cli/TargetList.h"

namespace qel::cli {

// `import`: a JSON preset into units (a full download, verified) or into a mode file record.
class ImportCommand {
public:
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    std::string file_;
    TargetList targets_;
    ModeFileTarget modeFile_;
    bool verify_ = true;
    std::string error_;
};

}  // namespace qel::cli
