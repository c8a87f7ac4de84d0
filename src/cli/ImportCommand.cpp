#include "cli/ImportCommand.h"

#include <ostream>
#include <sstream>

#include "cli/PresetFile.h"
#include "cli/Session.h"
#include "device/PresetJson.h"

namespace qel::cli {

namespace {

// The problems of a preset, one per line after the first.
std::string problems(const PresetRead& read) {
    std::string text = "the preset cannot be used:";
    for (const auto& e : read.errors) text += "\n  " + e.text();
    return text;
}

}  // namespace

const char* ImportCommand::usage() {
    return "  import FILE.json ((--ip A.B.C.D | --serial COMn)... | --all | --mode-file FILE\n"
           "         --record N [--model QD206|QD406|QD408]) [--no-verify]\n"
           "      Reads a JSON preset and downloads it into each unit (side by side, verified\n"
           "      as download does) or puts it into record N of a mode file.\n";
}

bool ImportCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (targets_.take(option, options) || modeFile_.take(option, options)) continue;
        if (option == "--no-verify")
            verify_ = false;
        else if (option.rfind("--", 0) != 0 && file_.empty())
            file_ = option;
        else
            options.fail("import: unknown option " + option);
    }
    if (options.error().empty() && file_.empty()) options.fail("import: name the preset FILE.json");
    if (options.error().empty()) {
        if (modeFile_.given() && targets_.given())
            options.fail("import: take units or a mode file, not both");
        else if (modeFile_.given())
            modeFile_.check("import", options, false);
        else
            targets_.check("import", options);
    }
    error_ = options.error();
    return error_.empty();
}

int ImportCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    std::string why;
    const auto json = PresetFile::read(file_, why);
    if (!json) {
        err << why << "\n";
        return 1;
    }
    // Read once for everything but the model, so that a broken file stops before any unit.
    const PresetRead preset = readPresetJson(*json, modeFile_.given() ? modeFile_.model() : 0);
    if (!preset.ok()) {
        err << file_ << ": " << problems(preset) << "\n";
        return 1;
    }
    for (const auto& m : preset.moved) out << file_ << ": note: " << m.text() << "\n";
    if (modeFile_.given()) {
        if (!modeFile_.save(preset.record, why)) {
            err << why << "\n";
            return 1;
        }
        out << "imported " << modelName(preset.modelCode) << " '" << preset.record.name()
            << "' into record " << modeFile_.record() << " of " << modeFile_.file() << "\n";
        return 0;
    }
    return targets_.run(
        globals,
        [&](TargetList::Unit& u, std::string& line) {
            Session session(u.equipment, u.link);
            if (!session.connect(false, line)) return false;
            const PresetRead forUnit = readPresetJson(*json, u.equipment.modelCode());
            if (!forUnit.ok()) {
                line = problems(forUnit);
                return false;
            }
            std::string result;
            const bool ok = session.download(forUnit.record, verify_, result);
            line = ok ? "imported '" + forUnit.record.name() + "'; " + result : result;
            return ok;
        },
        out, err);
}

}  // namespace qel::cli
