// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ShowSaveCommand.h"

#include <map>
#include <mutex>
#include <ostream>

#include "cli/ErrorText.h"
#include "cli/GroupCommand.h"
#include "cli/PresetFile.h"
#include "cli/Session.h"
#include "device/GbkText.h"
#include "device/ModeImage.h"
#include "device/ShowFile.h"
#include "device/UnitText.h"

namespace qel::cli {

namespace {

ShowUnit showUnitOf(const TargetList::Unit& u) {
    ShowUnit s;
    s.modelCode = u.equipment.modelCode();
    s.name = unpaddedUnitText(u.equipment.deviceName());
    s.transport = u.equipment.isVirtual()               ? ShowTransport::Virtual
                  : u.equipment.hasFlag(linkflag::kUdp) ? ShowTransport::Network
                                                        : ShowTransport::Serial;
    s.address = showAddress(u.equipment, *u.link.serialMap);
    s.record = u.equipment.image()->record();
    return s;
}

}  // namespace

std::string showAddress(const Equipment& unit, const SerialPortMap& serialMap) {
    if (unit.hasFlag(linkflag::kSerial)) return serialMap.devicePath(unit.portName());
    return unit.addressText();
}

const char* ShowSaveCommand::usage() {
    return "  show-save --out FILE ((--ip A.B.C.D | --serial COMn)... | --all) [--groups FILE]\n"
           "      Reads every unit in full (side by side) and writes them, each with its model,\n"
           "      name, address and settings, as one show file (docs/show-format.md), with the\n"
           "      groups of a groups file. Nothing is written unless every unit was read.\n";
}

bool ShowSaveCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (targets_.take(option, options)) continue;
        if (option == "--groups") {
            if (auto v = options.value()) groups_ = QString::fromStdString(*v);
        } else if (option == "--out") {
            if (auto v = options.value()) out_ = *v;
        } else {
            options.fail("show-save: unknown option " + option);
        }
    }
    if (options.error().empty()) targets_.check("show-save", options);
    if (options.error().empty() && out_.empty()) options.fail("show-save: --out is required");
    error_ = options.error();
    return error_.empty();
}

int ShowSaveCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(false, out, err);
    std::vector<Group> groups;
    if (!groups_.isEmpty()) {
        int status = 0;
        const auto set = readGroupsFile(groups_, "show-save", output, status);
        if (!set) return status;
        groups = set->groups;
    }
    std::mutex mutex;                 // guards read
    std::map<size_t, ShowUnit> read;  // by the unit's place, so the file keeps their order
    const int status = targets_.run(
        globals,
        [&](TargetList::Unit& u, TargetList::Result& r) {
            Session session(u.equipment, u.link);
            if (!session.connect(true, r.line)) {
                r.code = session.failureCode();
                return false;
            }
            ShowUnit s = showUnitOf(u);
            if (!isKnownModel(s.modelCode)) {
                r.line =
                    "model code " + std::to_string(s.modelCode) + " is not QD206, QD406 or QD408";
                r.code = "model";
                return false;
            }
            r.line =
                "read " + std::string(modelName(s.modelCode)) + " \"" + decodeGbk(s.name) + "\"";
            const std::lock_guard lock(mutex);
            read.emplace(u.index, std::move(s));
            return true;
        },
        output);
    if (status != 0) return output.fail("units-failed", "the show file was not written");
    std::vector<ShowUnit> units;
    for (auto& [index, unit] : read) units.push_back(std::move(unit));
    // Only a file that reads back: two units of one model with one name (units fresh from
    // the factory share theirs) could not be told apart.
    const QByteArray json = showJson(units, groups);
    const ShowRead back = readShowJson(json);
    if (!back.ok()) {
        std::string text = "the show file was not written:";
        for (const auto& e : back.errors)
            text += "\n  " + showIssueText(e) +
                    (e.unit >= 0 ? " (" + units.at(size_t(e.unit)).address + ")" : "");
        return output.fail("show", text);
    }
    std::string why;
    if (!PresetFile::write(out_, json, why)) return output.fail("file", why);
    return output.succeed("wrote " + std::to_string(units.size()) + " units to " + out_);
}

}  // namespace qel::cli
