#include "cli/SearchCommand.h"

#include <cstdio>
#include <ostream>

#include "link/EquipmentList.h"
#include "link/EquipmentSearch.h"
#include "link/UdpEndpoint.h"

namespace qel::cli {

const char* SearchCommand::usage() {
    return "  search [--no-network] [--no-serial]\n"
           "      Searches the network (the gateway's a.b.c.255) and COM1..COM16 and prints\n"
           "      one tab-separated line per unit: position, model, name, UDP or port,\n"
           "      IPv4 address or -, link flags.\n";
}

bool SearchCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (option == "--no-network")
            network_ = false;
        else if (option == "--no-serial")
            serial_ = false;
        else
            options.fail("search: unknown option " + option);
    }
    error_ = options.error();
    return error_.empty();
}

int SearchCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    UdpEndpoint endpoint;
    if (network_ && !endpoint.open(globals.localPort)) {
        err << "cannot open UDP port " << globals.localPort << ": " << endpoint.lastError()
            << "\n";
        return 1;
    }
    SearchSettings s;
    s.endpoint = &endpoint;
    s.gateway = globals.gateway;
    s.searchPort = globals.searchPort;
    s.modulePort = globals.modulePort;
    s.unitPort = globals.unitPort;
    s.serialMap = &globals.serialMap;
    s.network = network_;
    s.serial = serial_;
    EquipmentList list;
    EquipmentSearch(list, s).run();
    size_t position = 0;
    for (const auto& e : list.snapshot()) {
        std::string name = e->deviceName();
        name.erase(name.find_last_not_of(' ') + 1);
        const bool udp = e->hasFlag(linkflag::kUdp);
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%X", e->flags());
        out << ++position << '\t' << e->modelName() << '\t' << name << '\t'
            << (udp ? "UDP" : e->portName()) << '\t' << (udp ? e->addressText() : "-") << '\t'
            << flags << '\n';
    }
    return 0;
}

}  // namespace qel::cli
