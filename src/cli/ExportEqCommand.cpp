// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ExportEqCommand.h"

#include <ostream>

#include "cli/ChannelOption.h"
#include "cli/PresetFile.h"
#include "cli/Session.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ValueCodes.h"

namespace qel::cli {

const char* ExportEqCommand::usage() {
    return "  export-eq --channel in:A|out:3 (--ip A.B.C.D | --serial COMn | --mode-file FILE\n"
           "            --record N [--model QD206|QD406|QD408]) [--format generic|apo] --out FILE\n"
           "      Writes the channel's EQ points, and an output's high-pass and low-pass where\n"
           "      they are Butterworth 12 dB, as \"Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 1.4\"\n"
           "      lines that measurement programs read: generic (a filter settings file) or apo\n"
           "      (an equaliser's configuration). import-eq takes the file back as it was.\n";
}

bool ExportEqCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (targets_.take(option, options) || modeFile_.take(option, options)) continue;
        if (option == "--channel") {
            if (auto v = options.value()) {
                if (auto c = parseChannel(*v))
                    channel_ = *c;
                else
                    options.fail("--channel: expected in:A .. in:D or out:1 .. out:8, got '" + *v +
                                 "'");
            }
        } else if (option == "--format") {
            if (auto v = options.value()) {
                if (*v == "generic" || *v == "apo")
                    format_ = *v == "apo" ? EqTextFormat::Apo : EqTextFormat::Generic;
                else
                    options.fail("--format: expected generic or apo, got '" + *v + "'");
            }
        } else if (option == "--out") {
            if (auto v = options.value()) out_ = *v;
        } else {
            options.fail("export-eq: unknown option " + option);
        }
    }
    if (options.error().empty() && channel_.number == 0)
        options.fail("export-eq: --channel is required");
    if (options.error().empty() && out_.empty()) options.fail("export-eq: --out is required");
    if (options.error().empty()) {
        if (modeFile_.given() && targets_.given())
            options.fail("export-eq: take a unit or a mode file, not both");
        else if (modeFile_.given())
            modeFile_.check("export-eq", options, true);
        else
            targets_.check("export-eq", options, false);
    }
    error_ = options.error();
    return error_.empty();
}

bool ExportEqCommand::write(const ModeRecord& record, const std::string& title,
                            std::string& line) const {
    const EqExport text = exportMeasurementEq(record, channel_, format_, title);
    if (!PresetFile::write(out_, QByteArray::fromStdString(text.text), line)) return false;
    line = "wrote " + std::to_string(text.filters) + " filters of " + channelName(channel_) +
           " to " + out_;
    for (const LeftOutCrossover& c : text.leftOut)
        line += std::string("\n  note: the ") + (c.highPass ? "high-pass" : "low-pass") + " (" +
                std::string(crossoverTypeName(c.type)) +
                ") is not written: the text holds Butterworth 12 dB ones only";
    if (text.eqPassed)
        line += "\n  note: the channel's EQ is switched to \"EQ pass\"; the file has it on";
    return true;
}

int ExportEqCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(false, out, err);
    if (modeFile_.given()) {
        std::string line;
        const auto record = modeFile_.load(line);
        if (!record) return output.fail("file", line);
        const std::string model(modelName(modeFile_.model()));
        if (!modelHasChannel(modeFile_.model(), channel_))
            return output.fail("channel", channelName(channel_) + " is not on a " + model);
        const std::string title = measurementTitle(modeFile_.model(), record->name(), channel_);
        if (!write(*record, title, line)) return output.fail("file", line);
        return output.succeed(line);
    }
    return targets_.run(
        globals,
        [&](TargetList::Unit& u, TargetList::Result& r) {
            Session session(u.equipment, u.link);
            if (!session.connect(true, r.line)) return false;
            if (!modelHasChannel(u.equipment.modelCode(), channel_)) {
                r.line = channelName(channel_) + " is not on a " + u.equipment.modelName();
                return false;
            }
            const std::string title =
                measurementTitle(u.equipment.modelCode(), u.equipment.deviceName(), channel_);
            return write(u.equipment.image()->record(), title, r.line);
        },
        output);
}

}  // namespace qel::cli
