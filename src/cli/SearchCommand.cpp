// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/SearchCommand.h"

#include <QJsonArray>

#include <cstdio>
#include <ostream>

#include "cli/CommandOutput.h"
#include "device/UnitText.h"
#include "link/EquipmentList.h"
#include "link/EquipmentSearch.h"
#include "link/UdpEndpoint.h"

namespace qel::cli {

const char* SearchCommand::usage() {
    return "  search [--no-network] [--no-serial] [--json]\n"
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
        else if (option == "--json")
            json_ = true;
        else
            options.fail("search: unknown option " + option);
    }
    error_ = options.error();
    return error_.empty();
}

int SearchCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(json_, out, err);
    UdpEndpoint endpoint;
    if (network_ && !endpoint.open(globals.localPort))
        return output.fail("port", "cannot open UDP port " + std::to_string(globals.localPort) +
                                       ": " + endpoint.lastError());
    SearchSettings s = searchSettingsOf(globals, &endpoint, globals.gateway, &globals.serialMap);
    s.network = network_;
    s.serial = serial_;
    EquipmentList list;
    EquipmentSearch(list, s).run();
    QJsonArray units;
    for (const auto& e : list.snapshot()) units.append(listUnit(*e, units.size() + 1, output));
    output.set("units", units);
    return output.succeed();
}

QJsonObject SearchCommand::listUnit(const Equipment& e, qsizetype position, CommandOutput& output) {
    const std::string name = unpaddedUnitText(e.deviceName());
    const bool udp = e.hasFlag(linkflag::kUdp);
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%X", e.flags());
    output.text() << position << '\t' << e.modelName() << '\t' << name << '\t'
                  << (udp ? "UDP" : e.portName()) << '\t' << (udp ? e.addressText() : "-") << '\t'
                  << flags << '\n';
    return {{"position", static_cast<qint64>(position)},
            {"model", QString::fromStdString(e.modelName())},
            {"name", QString::fromStdString(name)},
            {"transport", udp ? "udp" : "serial"},
            {"address", udp ? QJsonValue(QString::fromStdString(e.addressText())) : QJsonValue()},
            {"port", udp ? QJsonValue() : QJsonValue(QString::fromStdString(e.portName()))},
            {"flags", static_cast<qint64>(e.flags())}};
}

}  // namespace qel::cli
