// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ReadCommand.h"

#include <QSaveFile>
#include <ostream>
#include <sstream>

#include "cli/CommandOutput.h"
#include "cli/Session.h"
#include "device/ModeImage.h"
#include "device/PresetJson.h"

namespace qel::cli {

const char* ReadCommand::usage() {
    return "  read (--ip A.B.C.D | --serial COMn) [--out FILE] [--json]\n"
           "      Connects, reads every parameter and writes the 1676-byte image to FILE;\n"
           "      with --json prints its settings as the JSON preset that export writes\n"
           "      (--out then optional). One of the two is needed.\n";
}

bool ReadCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (target_.take(option, options)) continue;
        if (option == "--out") {
            if (auto v = options.value()) outFile_ = *v;
        } else if (option == "--json") {
            json_ = true;
        } else {
            options.fail("read: unknown option " + option);
        }
    }
    if (options.error().empty()) target_.check("read", options);
    if (options.error().empty() && outFile_.empty() && !json_)
        options.fail("read: give --out FILE, --json or both");
    error_ = options.error();
    return error_.empty();
}

int ReadCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    // With --json the preset is the document; a failure is told in the commands' JSON.
    CommandOutput output(json_, out, err);
    Equipment unit;
    LinkSettings link;
    std::ostringstream why;
    if (!target_.prepare(globals, unit, link, why)) return output.fail("port", why.str());
    Session session(unit, link);
    std::string failure;
    if (!session.connect(true, failure)) return output.fail(session.failureCode(), failure);
    const auto image = unit.image();
    if (!outFile_.empty()) {
        uint8_t bytes[ModeImage::kSize];
        image->toBytes(bytes);
        QSaveFile file(QString::fromStdString(outFile_));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(bytes), sizeof bytes) != sizeof bytes ||
            !file.commit())
            return output.fail(
                "file", "cannot write " + outFile_ + ": " + file.errorString().toStdString());
    }
    if (json_) {
        std::string name = unit.deviceName();
        name.erase(name.find_last_not_of(' ') + 1);
        out << presetJson(image->record(), unit.modelCode(), name).toStdString();
    }
    return 0;
}

}  // namespace qel::cli
