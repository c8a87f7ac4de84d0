// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ImportCommand.h"

#include <QJsonArray>

#include <ostream>

#include "cli/ErrorText.h"
#include "cli/Interrupt.h"
#include "cli/PresetFile.h"
#include "cli/Session.h"
#include "device/PresetJson.h"

namespace qel::cli {

namespace {

// The problems of a preset, one per line after the first.
std::string problems(const PresetRead& read) {
    std::string text = "the preset cannot be used:";
    for (const auto& e : read.errors) text += "\n  " + presetIssueText(e);
    return text;
}

}  // namespace

const char* ImportCommand::usage() {
    return "  import FILE.json ((--ip A.B.C.D | --serial COMn)... | --all | --mode-file FILE\n"
           "         --record N [--model QD206|QD406|QD408]) [--no-verify] [--json]\n"
           "      Reads a JSON preset and downloads it into each unit (side by side, verified\n"
           "      as download does) or puts it into record N of a mode file.\n";
}

bool ImportCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (targets_.take(option, options) || modeFile_.take(option, options)) continue;
        if (option == "--no-verify")
            verify_ = false;
        else if (option == "--json")
            json_ = true;
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
    CommandOutput output(json_, out, err);
    std::string why;
    const auto json = PresetFile::read(file_, why);
    if (!json) return output.fail("file", why);
    // Read once for everything but the model, so that a broken file stops before any unit.
    const PresetRead preset = readPresetJson(*json, modeFile_.given() ? modeFile_.model() : 0);
    if (!preset.ok()) return output.fail("preset", file_ + ": " + problems(preset));
    QJsonArray notes;
    for (const auto& m : preset.moved) {
        const std::string note = presetIssueText(m);
        output.text() << file_ << ": note: " << note << "\n";
        notes.append(QString::fromStdString(note));
    }
    output.set("notes", notes);
    if (modeFile_.given()) return intoModeFile(preset, output);
    const std::atomic<bool>* interrupted = catchInterrupt();
    return targets_.run(
        globals,
        [&](TargetList::Unit& u, TargetList::Result& r) {
            Session session(u.equipment, u.link);
            if (!session.connect(false, r.line)) {
                r.code = session.failureCode();
                return false;
            }
            const PresetRead forUnit = readPresetJson(*json, u.equipment.modelCode());
            r.fields.insert("model", QString::fromStdString(u.equipment.modelName()));
            if (!forUnit.ok()) {
                r.line = problems(forUnit);
                r.code = "preset";
                return false;
            }
            std::string result;
            const bool ok = session.download(forUnit.record, verify_, result, interrupted);
            r.line = ok ? "imported '" + forUnit.record.name() + "'; " + result : result;
            r.code = session.failureCode();
            return ok;
        },
        output);
}

int ImportCommand::intoModeFile(const PresetRead& preset, CommandOutput& output) const {
    std::string why;
    if (!modeFile_.save(preset.record, why)) return output.fail("file", why);
    output.set("model", QString::fromUtf8(modelName(preset.modelCode)));
    output.set("name", QString::fromStdString(preset.record.name()));
    output.set("record", modeFile_.record());
    output.set("file", QString::fromStdString(modeFile_.file()));
    return output.succeed("imported " + std::string(modelName(preset.modelCode)) + " '" +
                          preset.record.name() + "' into record " +
                          std::to_string(modeFile_.record()) + " of " + modeFile_.file());
}

}  // namespace qel::cli
