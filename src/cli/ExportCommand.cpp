// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ExportCommand.h"

#include <QDir>

#include <ostream>

#include "cli/PresetFile.h"
#include "cli/Session.h"
#include "device/ModeImage.h"
#include "device/PresetJson.h"
#include "device/UnitText.h"

namespace qel::cli {

namespace {

// Writes the document and says where, with what it would not give back on further lines.
bool writePreset(const ModeRecord& record, uint32_t model, const std::string& device,
                 const std::string& path, TargetList::Result& r) {
    if (!isKnownModel(model)) {
        r.line = "model code " + std::to_string(model) + " is not QD206, QD406 or QD408";
        r.code = "model";
        return false;
    }
    const QByteArray json = presetJson(record, model, device);
    if (!PresetFile::write(path, json, r.line)) {
        r.code = "file";
        return false;
    }
    r.line = "exported " + std::string(modelName(model)) + " '" + record.name() + "' to " + path;
    for (const auto& n : PresetFile::notes(record, model, json)) r.line += "\n  note: " + n;
    r.fields.insert("model", QString::fromUtf8(modelName(model)));
    r.fields.insert("name", QString::fromStdString(record.name()));
    r.fields.insert("file", QString::fromStdString(path));
    return true;
}

}  // namespace

const char* ExportCommand::usage() {
    return "  export ((--ip A.B.C.D | --serial COMn)... | --all | --mode-file FILE --record N\n"
           "         [--model QD206|QD406|QD408]) --out FILE.json [--json]\n"
           "      Reads each unit (side by side), or takes record N of a mode file, and writes\n"
           "      it as a JSON preset (docs/preset-format.md). With several units or --all,\n"
           "      --out names a folder that gets one ADDRESS.json or COMn.json per unit.\n";
}

bool ExportCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (targets_.take(option, options) || modeFile_.take(option, options)) continue;
        if (option == "--out") {
            if (auto v = options.value()) out_ = *v;
        } else if (option == "--json") {
            json_ = true;
        } else {
            options.fail("export: unknown option " + option);
        }
    }
    if (options.error().empty()) {
        if (modeFile_.given() && targets_.given())
            options.fail("export: take a unit or a mode file, not both");
        else if (modeFile_.given())
            modeFile_.check("export", options, true);
        else
            targets_.check("export", options);
    }
    if (options.error().empty() && out_.empty()) options.fail("export: --out is required");
    error_ = options.error();
    return error_.empty();
}

int ExportCommand::exportModeFile(CommandOutput& output) {
    TargetList::Result r;
    const auto record = modeFile_.load(r.line);
    if (!record) return output.fail("file", r.line);
    if (!writePreset(*record, modeFile_.model(), {}, out_, r)) return output.fail(r.code, r.line);
    output.set(r.fields);
    return output.succeed(r.line);
}

int ExportCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(json_, out, err);
    if (modeFile_.given()) return exportModeFile(output);
    if (targets_.several() && !QDir().mkpath(QString::fromStdString(out_)))
        return output.fail("file", "cannot make the folder " + out_);
    return targets_.run(
        globals,
        [&](TargetList::Unit& u, TargetList::Result& r) {
            Session session(u.equipment, u.link);
            if (!session.connect(true, r.line)) {
                r.code = session.failureCode();
                return false;
            }
            const std::string path = targets_.several()
                                         ? QDir(QString::fromStdString(out_))
                                               .filePath(QString::fromStdString(u.label + ".json"))
                                               .toStdString()
                                         : out_;
            return writePreset(u.equipment.image()->record(), u.equipment.modelCode(),
                               unpaddedUnitText(u.equipment.deviceName()), path, r);
        },
        output);
}

}  // namespace qel::cli
