#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/CliOptions.h"
#include "cli/UnitTarget.h"

namespace qel::cli {

// The system functions of the editor's system page for one unit: `modes`, `mode-switch`,
// `password`, `store`, `recall`, `pc-save` and `pc-apply`. They run the same sequences as the
// page and say its messages in English; a refusal or failure exits 1.
class SystemCommand {
public:
    enum class Kind { Modes, ModeSwitch, Password, Store, Recall, PcSave, PcApply };

    explicit SystemCommand(Kind kind) : kind_(kind) {}
    // The kind for a command name, if it is one of these.
    static std::optional<Kind> kindOf(const std::string& command);
    static const char* usage();
    bool parse(CliOptions& options);
    int run(const GlobalOptions& globals, std::ostream& out, std::ostream& err);
    const std::string& error() const { return error_; }

private:
    static const char* nameOf(Kind kind);
    // The number given after the command (as the page shows it, from 1).
    void takeNumber(const std::string& text, CliOptions& options);
    int modes(Equipment& unit, std::ostream& out, std::ostream& err);
    int modeSwitch(Equipment& unit, std::ostream& out, std::ostream& err);
    int password(Equipment& unit, std::ostream& out, std::ostream& err);
    int store(Equipment& unit, std::ostream& out, std::ostream& err);
    int recall(Equipment& unit, const LinkSettings& link, std::ostream& out, std::ostream& err);
    int pcSave(Equipment& unit, std::ostream& out, std::ostream& err);
    int pcApply(Equipment& unit, const LinkSettings& link, std::ostream& out, std::ostream& err);

    Kind kind_;
    UnitTarget target_;
    int number_ = 0;
    std::optional<std::string> name_, password_, old_, new_;
    std::optional<bool> engineering_;
    std::string error_;
};

}  // namespace qel::cli
