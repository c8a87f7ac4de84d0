#include "cli/SystemCommand.h"

#include <QDate>
#include <ostream>

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

std::string trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The PC modes of the unit's model from the mode file in the current folder.
bool loadPcModes(ModeFileStore& store, uint32_t model, std::ostream& err) {
    const ModeFileStatus status = store.load(model);
    if (!status.ok) err << status.error.toStdString() << "\n";
    return status.ok;
}

}  // namespace

std::optional<SystemCommand::Kind> SystemCommand::kindOf(const std::string& command) {
    for (const auto& [kind, name] : kNames)
        if (command == name) return kind;
    return std::nullopt;
}

const char* SystemCommand::nameOf(Kind kind) {
    for (const auto& [k, name] : kNames)
        if (k == kind) return name;
    return "";
}

const char* SystemCommand::usage() {
    return "  modes (--ip A.B.C.D | --serial COMn)\n"
           "      Reads the unit and lists its 20 device modes (\"N. name\", the current one\n"
           "      marked *) and the 32 PC modes of its model from the mode file in the\n"
           "      current folder (number, name, date; \"-\" for an empty one).\n"
           "  mode-switch (--ip A.B.C.D | --serial COMn) --password DIGITS\n"
           "              (--engineering | --user)\n"
           "      Checks the unit's six-digit system password, then switches the unit.\n"
           "  password (--ip A.B.C.D | --serial COMn) --old DIGITS --new DIGITS\n"
           "      Changes the unit's system password.\n"
           "  store N (--ip A.B.C.D | --serial COMn) --name TEXT\n"
           "      Stores the unit's current settings as its device mode N (1..20) under\n"
           "      the name (at most 20 characters); refused in user mode.\n"
           "  recall N (--ip A.B.C.D | --serial COMn)\n"
           "      Recalls device mode N (1..20) and reads the unit again.\n"
           "  pc-save N (--ip A.B.C.D | --serial COMn) --name TEXT\n"
           "      Reads the unit and saves its mode as PC mode N (1..32) of its model with\n"
           "      today's date.\n"
           "  pc-apply N (--ip A.B.C.D | --serial COMn)\n"
           "      Downloads PC mode N (1..32) of the unit's model into the unit and\n"
           "      activates it; an empty PC mode is refused.\n";
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
    const bool numbered = kind_ == Kind::Store || kind_ == Kind::Recall ||
                          kind_ == Kind::PcSave || kind_ == Kind::PcApply;
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
    // Entries the page refuses before it sends anything.
    if (kind_ == Kind::ModeSwitch && !isValidPassword(*password_)) {
        err << "please enter the system password!\n";
        return 1;
    }
    if (kind_ == Kind::Password) {
        if (old_->empty() || new_->empty()) {
            err << "enter the system password!\n";
            return 1;
        }
        if (!isValidPassword(*old_) || !isValidPassword(*new_)) {
            err << "error: the password must be 6 digits!\n";
            return 1;
        }
    }
    Equipment unit;
    LinkSettings link;
    if (!target_.prepare(globals, unit, link, err)) return 1;
    Session session(unit, link);
    if (!session.connect(kind_ == Kind::Modes || kind_ == Kind::PcSave, err)) return 1;
    switch (kind_) {
        case Kind::Modes: return modes(unit, out, err);
        case Kind::ModeSwitch: return modeSwitch(unit, out, err);
        case Kind::Password: return password(unit, out, err);
        case Kind::Store: return store(unit, out, err);
        case Kind::Recall: return recall(unit, link, out, err);
        case Kind::PcSave: return pcSave(unit, out, err);
        case Kind::PcApply: return pcApply(unit, link, out, err);
    }
    return 1;
}

int SystemCommand::modes(Equipment& unit, std::ostream& out, std::ostream& err) {
    const auto image = unit.image();
    const bool engineering = SystemFunctions(unit).storingAllowed();
    out << unit.modelName() << " \"" << trimmed(unit.deviceName()) << "\" at "
        << target_.describe() << ", " << (engineering ? "engineering mode" : "user mode")
        << "\ndevice modes:\n";
    for (int slot = 0; slot < ModeImage::kDeviceModes; ++slot)
        out << (image->currentMode() == static_cast<uint32_t>(slot) ? "* " : "  ") << slot + 1
            << ". " << trimmed(image->deviceModeName(slot)) << "\n";
    ModeFileStore pcModes;
    if (!loadPcModes(pcModes, unit.modelCode(), err)) return 1;
    out << "pc modes (" << ModeFileStore::fileName(unit.modelCode()).toStdString() << "):\n";
    for (int row = 0; row < SystemFunctions::kPcModes; ++row) {
        const ModeRecord record = *pcModes.record(unit.modelCode(), row);
        out << row + 1 << "\t" << (record.isUsed() ? record.name() : "-") << "\t"
            << (record.isUsed() ? record.date() : "-") << "\n";
    }
    return 0;
}

int SystemCommand::modeSwitch(Equipment& unit, std::ostream& out, std::ostream& err) {
    SystemFunctions system(unit);
    if (!system.passwordMatches(*password_)) {
        err << "wrong system password!\n";
        return 1;
    }
    if (!system.switchMode(*engineering_)) {
        err << "switching the mode failed, time-out!\n";
        return 1;
    }
    system.settle();
    out << (*engineering_ ? "switched to engineering mode!\n" : "switched to user mode!\n");
    return 0;
}

int SystemCommand::password(Equipment& unit, std::ostream& out, std::ostream& err) {
    SystemFunctions system(unit);
    switch (system.changePassword(*old_, *new_)) {
        case SystemFunctions::PasswordChange::WrongOld:
            err << "wrong system password !\n";
            return 1;
        case SystemFunctions::PasswordChange::Failed:
            err << "changing the system password failed, time-out!\n";
            return 1;
        case SystemFunctions::PasswordChange::Changed:
            break;
    }
    system.settle();
    out << "system password changed !\n";
    return 0;
}

int SystemCommand::store(Equipment& unit, std::ostream& out, std::ostream& err) {
    SystemFunctions system(unit);
    if (!system.storingAllowed()) {
        err << "user mode cannot save data !\n";
        return 1;
    }
    const std::string name = SystemFunctions::slotName(*name_);
    if (name.empty()) {
        err << "please enter a mode name!\n";
        return 1;
    }
    if (!system.store(number_ - 1, name)) {
        err << "error saving the mode, time-out!\n";
        return 1;
    }
    out << "mode saved! " << number_ << ". " << name << "\n";
    return 0;
}

int SystemCommand::recall(Equipment& unit, const LinkSettings& link, std::ostream& out,
                          std::ostream& err) {
    SystemFunctions system(unit);
    if (!system.recall(number_ - 1)) {
        err << "error: time-out!\n";
        return 1;
    }
    UnitTransfer transfer(unit, link);
    transfer.setProgressPause(0);
    const auto read =
        system.withMetersPaused([&] { return transfer.run(UnitTransfer::Mode::ReadOnly); });
    if (read != UnitTransfer::Result::Success) {
        err << "error while downloading data from the unit to the computer\n";
        return 1;
    }
    out << "recalled mode " << number_ << ". "
        << trimmed(unit.image()->deviceModeName(number_ - 1)) << "\n";
    return 0;
}

int SystemCommand::pcSave(Equipment& unit, std::ostream& out, std::ostream& err) {
    ModeFileStore pcModes;
    if (!loadPcModes(pcModes, unit.modelCode(), err)) return 1;
    auto image = std::make_shared<ModeImage>(*unit.image());
    const QDate today = QDate::currentDate();
    const ModeFileStatus status =
        SystemFunctions::saveToPc(image->record(), pcModes, unit.modelCode(), number_ - 1,
                                  *name_, today.year(), today.month(), today.day());
    if (!status.ok) {
        err << status.error.toStdString() << "\n";
        return 1;
    }
    unit.setImage(image);
    out << "saved the unit's mode as PC mode " << number_ << " \"" << image->record().name()
        << "\" (" << image->record().date() << ") in " << status.fileName.toStdString() << "\n";
    return 0;
}

int SystemCommand::pcApply(Equipment& unit, const LinkSettings& link, std::ostream& out,
                           std::ostream& err) {
    ModeFileStore pcModes;
    if (!loadPcModes(pcModes, unit.modelCode(), err)) return 1;
    auto image = std::make_shared<ModeImage>(*unit.image());
    if (SystemFunctions::loadPcMode(image->record(), pcModes, unit.modelCode(), number_ - 1) !=
        SystemFunctions::PcMode::Loaded) {
        err << "PC mode " << number_ << " is empty: nothing was sent\n";
        return 1;
    }
    unit.setImage(image);
    SystemFunctions system(unit);
    UnitTransfer transfer(unit, link);
    transfer.setProgressPause(0);
    const auto result =
        system.withMetersPaused([&] { return transfer.run(UnitTransfer::Mode::Download); });
    system.activateDownloaded();
    system.settle();
    if (result != UnitTransfer::Result::Success) {
        err << "error: time-out!\n";
        return 1;
    }
    out << "applied PC mode " << number_ << " \"" << image->record().name() << "\" to "
        << unit.modelName() << " " << target_.describe() << "\n";
    return 0;
}

}  // namespace qel::cli
