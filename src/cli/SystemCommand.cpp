// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/SystemCommand.h"

#include <QDate>
#include <QJsonArray>

#include <ostream>
#include <sstream>

#include "cli/CommandOutput.h"
#include "cli/ErrorText.h"
#include "cli/Session.h"
#include "device/ModeFileStore.h"
#include "device/ModeImage.h"
#include "device/SystemFunctions.h"
#include "device/UnitText.h"

namespace qel::cli {

namespace {

constexpr std::pair<SystemCommand::Kind, const char*> kNames[] = {
    {SystemCommand::Kind::Modes, "modes"},       {SystemCommand::Kind::ModeSwitch, "mode-switch"},
    {SystemCommand::Kind::Password, "password"}, {SystemCommand::Kind::Store, "store"},
    {SystemCommand::Kind::Recall, "recall"},     {SystemCommand::Kind::PcSave, "pc-save"},
    {SystemCommand::Kind::PcApply, "pc-apply"},
};

// The PC modes of the unit's model from the mode file in the current folder; the failure
// told when there are none.
bool loadPcModes(ModeFileStore& store, uint32_t model, CommandOutput& output) {
    const ModeFileStatus status = store.load(model);
    if (!status.ok) output.fail("file", modeFileText(status));
    return status.ok;
}

// Entries the system page refuses before it sends anything; the failure told.
bool passwordsRefused(SystemCommand::Kind kind, const std::optional<std::string>& password,
                      const std::optional<std::string>& old, const std::optional<std::string>& now,
                      CommandOutput& output) {
    if (kind == SystemCommand::Kind::ModeSwitch && !isValidPassword(*password))
        return output.fail("password-format", "please enter the system password!");
    if (kind != SystemCommand::Kind::Password) return false;
    if (old->empty() || now->empty())
        return output.fail("password-format", "enter the system password!");
    if (!isValidPassword(*old) || !isValidPassword(*now))
        return output.fail("password-format", "error: the password must be 6 digits!");
    return false;
}

// A slot name with characters the unit does not keep; the failure told.
bool nameRefused(SystemCommand::Kind kind, const std::optional<std::string>& name,
                 CommandOutput& output) {
    if (kind != SystemCommand::Kind::Store) return false;
    const std::string refused = unitTextRefused(*name);
    if (refused.empty()) return false;
    std::string message =
        "the unit keeps only ASCII letters, digits, spaces and symbols (characters 32-127), not: " +
        refused;
    const std::string kept = SystemFunctions::slotName(unitTextKept(*name));
    if (!kept.empty()) message += "; without them the name is \"" + kept + "\"";
    return output.fail("unit-text", message);
}

}  // namespace

const char* SystemCommand::nameOf(Kind kind) {
    for (const auto& [k, name] : kNames)
        if (k == kind) return name;
    return "";
}

const char* SystemCommand::usage(Kind kind) {
    // In the order of Kind.
    static const char* const texts[] = {
        "  modes (--ip A.B.C.D | --serial COMn) [--json]\n"
        "      Reads the unit and lists its 20 device modes (\"N. name\", the current one\n"
        "      marked *) and the 32 PC modes of its model from the mode file in the\n"
        "      current folder (number, name, date; \"-\" for an empty one).\n",
        "  mode-switch (--ip A.B.C.D | --serial COMn) --password DIGITS\n"
        "              (--engineering | --user) [--json]\n"
        "      Checks the unit's six-digit system password, then switches the unit.\n",
        "  password (--ip A.B.C.D | --serial COMn) --old DIGITS --new DIGITS [--json]\n"
        "      Changes the unit's system password.\n",
        "  store N (--ip A.B.C.D | --serial COMn) --name TEXT [--json]\n"
        "      Stores the unit's current settings as its device mode N (1..20) under\n"
        "      the name (at most 20 characters, ASCII only: the unit keeps no others);\n"
        "      refused in user mode.\n",
        "  recall N (--ip A.B.C.D | --serial COMn) [--json]\n"
        "      Recalls device mode N (1..20) and reads the unit again.\n",
        "  pc-save N (--ip A.B.C.D | --serial COMn) --name TEXT [--json]\n"
        "      Reads the unit and saves its mode as PC mode N (1..32) of its model with\n"
        "      today's date. The file holds the name in GBK, as the Windows program\n"
        "      does, cut between characters at 20 bytes.\n",
        "  pc-apply N (--ip A.B.C.D | --serial COMn) [--json]\n"
        "      Downloads PC mode N (1..32) of the unit's model into the unit and\n"
        "      activates it; an empty PC mode is refused.\n",
    };
    return texts[static_cast<int>(kind)];
}

void SystemCommand::takeNumber(const std::string& text, CliOptions& options) {
    const uint32_t max = kind_ == Kind::Store || kind_ == Kind::Recall
                             ? static_cast<uint32_t>(ModeImage::kDeviceModes)
                             : static_cast<uint32_t>(SystemFunctions::kPcModes);
    const auto n = number_ == 0 ? parseNumber(text, max) : std::nullopt;
    if (!n || *n == 0)
        options.fail(std::string(nameOf(kind_)) + ": expected one mode number from 1 to " +
                     std::to_string(max) + ", got '" + text + "'");
    else
        number_ = static_cast<int>(*n);
}

bool SystemCommand::parse(CliOptions& options) {
    const std::string command = nameOf(kind_);
    const bool numbered = kind_ == Kind::Store || kind_ == Kind::Recall || kind_ == Kind::PcSave ||
                          kind_ == Kind::PcApply;
    const bool named = kind_ == Kind::Store || kind_ == Kind::PcSave;
    std::string option;
    while (options.next(option)) {
        if (target_.take(option, options)) continue;
        if (numbered && option.rfind("--", 0) != 0) {
            takeNumber(option, options);
        } else if (named && option == "--name") {
            name_ = options.value();
        } else if (kind_ == Kind::ModeSwitch && option == "--password") {
            password_ = options.value();
        } else if (kind_ == Kind::ModeSwitch && (option == "--engineering" || option == "--user")) {
            if (engineering_) options.fail(command + ": give --engineering or --user once");
            engineering_ = option == "--engineering";
        } else if (option == "--json") {
            json_ = true;
        } else if (kind_ == Kind::Password && (option == "--old" || option == "--new")) {
            (option == "--old" ? old_ : new_) = options.value();
        } else {
            options.fail(command + ": unknown option " + option);
        }
    }
    if (options.error().empty()) target_.check(command, options);
    if (options.error().empty() && numbered && number_ == 0)
        options.fail(command + ": the mode number N is required");
    if (options.error().empty() && named && !name_)
        options.fail(command + ": --name TEXT is required");
    if (options.error().empty() && kind_ == Kind::ModeSwitch && !(password_ && engineering_))
        options.fail(command + ": --password DIGITS and --engineering or --user are required");
    if (options.error().empty() && kind_ == Kind::Password && !(old_ && new_))
        options.fail(command + ": --old DIGITS and --new DIGITS are required");
    error_ = options.error();
    return error_.empty();
}

int SystemCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(json_, out, err);
    if (passwordsRefused(kind_, password_, old_, new_, output)) return 1;
    if (nameRefused(kind_, name_, output)) return 1;
    Equipment unit;
    LinkSettings link;
    std::ostringstream why;
    if (!target_.prepare(globals, unit, link, why)) return output.fail("port", why.str());
    Session session(unit, link);
    std::string failure;
    if (!session.connect(kind_ == Kind::Modes || kind_ == Kind::PcSave, failure))
        return output.fail(session.failureCode(), failure);
    output.set("unit", QString::fromStdString(target_.describe()));
    output.set("model", QString::fromStdString(unit.modelName()));
    switch (kind_) {
        case Kind::Modes:
            return modes(unit, output);
        case Kind::ModeSwitch:
            return modeSwitch(unit, output);
        case Kind::Password:
            return password(unit, output);
        case Kind::Store:
            return store(unit, output);
        case Kind::Recall:
            return recall(unit, link, output);
        case Kind::PcSave:
            return pcSave(unit, output);
        case Kind::PcApply:
            return pcApply(unit, link, output);
    }
    return 1;
}

int SystemCommand::modes(Equipment& unit, CommandOutput& output) {
    const auto image = unit.image();
    const bool engineering = SystemFunctions(unit).storingAllowed();
    output.text() << unit.modelName() << " \"" << unpaddedUnitText(unit.deviceName()) << "\" at "
                  << target_.describe() << ", " << (engineering ? "engineering mode" : "user mode")
                  << "\ndevice modes:\n";
    output.set("name", QString::fromStdString(unpaddedUnitText(unit.deviceName())));
    output.set("engineering", engineering);
    QJsonArray deviceModes;
    for (int slot = 0; slot < ModeImage::kDeviceModes; ++slot) {
        const bool current = image->currentMode() == static_cast<uint32_t>(slot);
        const std::string name = unpaddedUnitText(image->deviceModeName(slot));
        output.text() << (current ? "* " : "  ") << slot + 1 << ". " << name << "\n";
        deviceModes.append(QJsonObject{
            {"number", slot + 1}, {"name", QString::fromStdString(name)}, {"current", current}});
    }
    output.set("deviceModes", deviceModes);
    ModeFileStore pcModes;
    if (!loadPcModes(pcModes, unit.modelCode(), output)) return 1;
    const QString file = ModeFileStore::fileName(unit.modelCode());
    output.text() << "pc modes (" << file.toStdString() << "):\n";
    QJsonArray rows;
    for (int row = 0; row < SystemFunctions::kPcModes; ++row) {
        const ModeRecord record = *pcModes.record(unit.modelCode(), row);
        const bool used = record.isUsed();
        output.text() << row + 1 << "\t" << (used ? record.name() : "-") << "\t"
                      << (used ? record.date() : "-") << "\n";
        rows.append(QJsonObject{{"number", row + 1},
                                {"used", used},
                                {"name", QString::fromStdString(used ? record.name() : "")},
                                {"date", QString::fromStdString(used ? record.date() : "")}});
    }
    output.set("pcModeFile", file);
    output.set("pcModes", rows);
    return output.succeed();
}

int SystemCommand::modeSwitch(Equipment& unit, CommandOutput& output) {
    SystemFunctions system(unit);
    if (!system.passwordMatches(*password_))
        return output.fail("wrong-password", "wrong system password!");
    if (!system.switchMode(*engineering_))
        return output.fail("timeout", "switching the mode failed, time-out!");
    system.settle();
    output.set("engineering", *engineering_);
    return output.succeed(*engineering_ ? "switched to engineering mode!"
                                        : "switched to user mode!");
}

int SystemCommand::password(Equipment& unit, CommandOutput& output) {
    SystemFunctions system(unit);
    switch (system.changePassword(*old_, *new_)) {
        case SystemFunctions::PasswordChange::WrongOld:
            return output.fail("wrong-password", "wrong system password !");
        case SystemFunctions::PasswordChange::Failed:
            return output.fail("timeout", "changing the system password failed, time-out!");
        case SystemFunctions::PasswordChange::Changed:
            break;
    }
    system.settle();
    return output.succeed("system password changed !");
}

int SystemCommand::store(Equipment& unit, CommandOutput& output) {
    SystemFunctions system(unit);
    if (!system.storingAllowed()) return output.fail("user-mode", "user mode cannot save data !");
    const std::string name = SystemFunctions::slotName(*name_);
    if (name.empty()) return output.fail("empty-name", "please enter a mode name!");
    if (!system.store(number_ - 1, name))
        return output.fail("timeout", "error saving the mode, time-out!");
    output.set("number", number_);
    output.set("name", QString::fromStdString(name));
    return output.succeed("mode saved! " + std::to_string(number_) + ". " + name);
}

int SystemCommand::recall(Equipment& unit, const LinkSettings& link, CommandOutput& output) {
    SystemFunctions system(unit);
    if (!system.recall(number_ - 1)) return output.fail("timeout", "error: time-out!");
    UnitTransfer transfer(unit, link);
    transfer.setProgressPause(0);
    const auto read =
        system.withMetersPaused([&] { return transfer.run(UnitTransfer::Mode::ReadOnly); });
    if (read != UnitTransfer::Result::Success)
        return output.fail("read-failed",
                           "error while downloading data from the unit to the computer");
    const std::string name = unpaddedUnitText(unit.image()->deviceModeName(number_ - 1));
    output.set("number", number_);
    output.set("name", QString::fromStdString(name));
    return output.succeed("recalled mode " + std::to_string(number_) + ". " + name);
}

int SystemCommand::pcSave(Equipment& unit, CommandOutput& output) {
    ModeFileStore pcModes;
    if (!loadPcModes(pcModes, unit.modelCode(), output)) return 1;
    const GbkName name =
        SystemFunctions::pcModeName(pcModes, unit.modelCode(), number_ - 1, *name_);
    if (!name.ok())
        return output.fail(
            "name-code-page",
            "the mode files hold names in GBK, which has no code for: " + name.missing);
    auto image = std::make_shared<ModeImage>(*unit.image());
    const QDate today = QDate::currentDate();
    const ModeFileStatus status =
        SystemFunctions::saveToPc(image->record(), pcModes, unit.modelCode(), number_ - 1, name,
                                  today.year(), today.month(), today.day());
    if (!status.ok) return output.fail("file", modeFileText(status));
    unit.setImage(image);
    const ModeRecord& record = image->record();
    if (name.shortened)
        output.errorText() << "the name takes more than 20 bytes in GBK and was shortened to \""
                           << record.name() << "\"\n";
    output.set("shortened", name.shortened);
    output.set("number", number_);
    output.set("name", QString::fromStdString(record.name()));
    output.set("date", QString::fromStdString(record.date()));
    output.set("file", status.fileName);
    return output.succeed("saved the unit's mode as PC mode " + std::to_string(number_) + " \"" +
                          record.name() + "\" (" + record.date() + ") in " +
                          status.fileName.toStdString());
}

int SystemCommand::pcApply(Equipment& unit, const LinkSettings& link, CommandOutput& output) {
    ModeFileStore pcModes;
    if (!loadPcModes(pcModes, unit.modelCode(), output)) return 1;
    auto image = std::make_shared<ModeImage>(*unit.image());
    if (SystemFunctions::loadPcMode(image->record(), pcModes, unit.modelCode(), number_ - 1) !=
        SystemFunctions::PcMode::Loaded)
        return output.fail("empty-pc-mode",
                           "PC mode " + std::to_string(number_) + " is empty: nothing was sent");
    unit.setImage(image);
    SystemFunctions system(unit);
    UnitTransfer transfer(unit, link);
    transfer.setProgressPause(0);
    const auto result =
        system.withMetersPaused([&] { return transfer.run(UnitTransfer::Mode::Download); });
    system.activateDownloaded();
    system.settle();
    if (result != UnitTransfer::Result::Success) return output.fail("timeout", "error: time-out!");
    output.set("number", number_);
    output.set("name", QString::fromStdString(image->record().name()));
    return output.succeed("applied PC mode " + std::to_string(number_) + " \"" +
                          image->record().name() + "\" to " + unit.modelName() + " " +
                          target_.describe());
}

}  // namespace qel::cli
