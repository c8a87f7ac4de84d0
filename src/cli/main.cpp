// quellmar-cli: the headless front end for scripts and for poking units by hand.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/DownloadCommand.h"
#include "cli/ExportCommand.h"
#include "cli/ImportCommand.h"
#include "cli/ImportEqCommand.h"
#include "cli/ModuleCommand.h"
#include "cli/RawSend.h"
#include "cli/ReadCommand.h"
#include "cli/SearchCommand.h"
#include "cli/SystemCommand.h"
#include "link/Protocol.h"
#include "platform/Trace.h"

namespace {

void printHelp(std::ostream& out) {
    out << "usage: quellmar-cli <command> [options]\n"
           "       quellmar-cli --help | --version\n\n"
           "Commands:\n"
        << qel::cli::SearchCommand::usage() << qel::cli::ReadCommand::usage()
        << qel::cli::DownloadCommand::usage() << qel::cli::SystemCommand::usage()
        << qel::cli::ExportCommand::usage() << qel::cli::ImportCommand::usage()
        << qel::cli::ImportEqCommand::usage() << qel::cli::RawSend::usage()
        << qel::cli::ModuleCommand::usage() << "\nGlobal options (any position):\n"
        << "  --local-port N          this program's UDP port (default " << qel::port::kLocal
        << ")\n  --unit-port N           the units' UDP command port (default " << qel::port::kUnit
        << ")\n  --module-port N         the units' network module port (default "
        << qel::port::kModule
        << ")\n  --search-port N         local port of the search request (default "
        << qel::port::kSearch
        << ")\n  --module-search-port N  local port of the module search (default "
        << qel::port::kModuleSearch << ")\n"
        << "  --gateway A.B.C.D       searches A.B.C.255 (default 192.168.6.255)\n"
           "  --serial-map COMn=PATH  device path of a port name (default /dev/ttyUSB<n-1>)\n"
           "  --trace                 write the link's diagnostic trace to standard error\n"
           "Numbers may be decimal or 0x-hex. Exit status: 0 success, 1 failure.\n";
}

template <typename Command>
int runCommand(qel::cli::CliOptions& options, const qel::cli::GlobalOptions& globals,
               Command command = Command()) {
    if (!command.parse(options)) {
        std::cerr << command.error() << "\n";
        return 1;
    }
    if (globals.trace) qel::setTraceOutput(stderr);
    return command.run(globals, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    using qel::cli::ModuleCommand;
    qel::setTraceOutput(nullptr);
    // Global options may stand before the command as well as after it.
    std::vector<std::string> args(argv + 1, argv + argc);
    const size_t at = qel::cli::CliOptions::commandIndex(args);
    const std::string command = at < args.size() ? args[at] : std::string();
    if (command.empty() || command == "--help" || command == "-h") {
        printHelp(command.empty() ? std::cerr : std::cout);
        return command.empty() ? 1 : 0;
    }
    if (command == "--version") {
        std::cout << "quellmar-cli " QUELLMAR_VERSION "\n";
        return 0;
    }
    args.erase(args.begin() + static_cast<long>(at));
    qel::cli::GlobalOptions globals;
    qel::cli::CliOptions options(args, globals);
    if (command == "modules")
        return runCommand(options, globals, ModuleCommand(ModuleCommand::Kind::Search));
    if (command == "module-read")
        return runCommand(options, globals, ModuleCommand(ModuleCommand::Kind::Read));
    if (command == "module-write")
        return runCommand(options, globals, ModuleCommand(ModuleCommand::Kind::Write));
    if (const auto kind = qel::cli::SystemCommand::kindOf(command))
        return runCommand(options, globals, qel::cli::SystemCommand(*kind));
    if (command == "send") return runCommand<qel::cli::RawSend>(options, globals);
    if (command == "search") return runCommand<qel::cli::SearchCommand>(options, globals);
    if (command == "read") return runCommand<qel::cli::ReadCommand>(options, globals);
    if (command == "download") return runCommand<qel::cli::DownloadCommand>(options, globals);
    if (command == "export") return runCommand<qel::cli::ExportCommand>(options, globals);
    if (command == "import") return runCommand<qel::cli::ImportCommand>(options, globals);
    if (command == "import-eq") return runCommand<qel::cli::ImportEqCommand>(options, globals);
    std::cerr << "unknown command '" << command << "' (see quellmar-cli --help)\n";
    return 1;
}
