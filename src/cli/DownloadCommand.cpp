// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/DownloadCommand.h"

#include <ostream>

#include "cli/CommandOutput.h"
#include "cli/Interrupt.h"
#include "cli/Session.h"
#include "device/Models.h"

namespace qel::cli {

const char* DownloadCommand::usage() {
    return "  download ((--ip A.B.C.D | --serial COMn)... | --all) --mode-file FILE\n"
           "           --record N [--model QD206|QD406|QD408] [--no-verify] [--json]\n"
           "      Connects and sends record N (0..31) of a mode file to each unit, side by\n"
           "      side, then reads each unit back, sends what differs again and names what\n"
           "      still differs. --ip and --serial may be repeated; --all takes every unit a\n"
           "      search finds. A file named mode206/406/408.dat only goes to its model.\n";
}

bool DownloadCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (targets_.take(option, options) || source_.take(option, options)) continue;
        if (option == "--no-verify")
            verify_ = false;
        else if (option == "--json")
            json_ = true;
        else
            options.fail("download: unknown option " + option);
    }
    if (options.error().empty()) targets_.check("download", options);
    if (options.error().empty()) source_.check("download", options, false);
    error_ = options.error();
    return error_.empty();
}

int DownloadCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(json_, out, err);
    std::string why;
    const auto record = source_.load(why);
    if (!record) return output.fail("file", why);
    const uint32_t fileModel = source_.model();
    const std::atomic<bool>* interrupted = catchInterrupt();
    return targets_.run(
        globals,
        [&](TargetList::Unit& u, TargetList::Result& r) {
            Session session(u.equipment, u.link);
            if (!session.connect(false, r.line)) {
                r.code = session.failureCode();
                return false;
            }
            const uint32_t model = u.equipment.modelCode();
            r.fields.insert("model", QString::fromStdString(u.equipment.modelName()));
            if (fileModel != 0 && fileModel != model) {
                r.line = source_.file() + " holds " + std::string(modelName(fileModel)) +
                         " modes; the unit is a " + u.equipment.modelName();
                r.code = "model";
                return false;
            }
            std::string result;
            const bool ok = session.download(*record, verify_, result, interrupted);
            r.line = ok ? "downloaded record " + std::to_string(source_.record()) + " (" +
                              record->name() + ") to " + u.equipment.modelName() + "; " + result
                        : result;
            r.code = session.failureCode();
            return ok;
        },
        output);
}

}  // namespace qel::cli
