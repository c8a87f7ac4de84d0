// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ModuleCommand.h"

#include <QJsonArray>

#include <ostream>

#include "cli/CommandOutput.h"
#include "netsetup/NetModuleClient.h"
#include "netsetup/NetModuleSearch.h"
#include "platform/NetworkAdapters.h"
#include "platform/Trace.h"

namespace qel::cli {

namespace {
const char* kReadFailed = "Error: Failure to get the equipment's network information !";
const char* kRefused = "Error: IP Address or Gateway !";
const char* kWritten = "Success to modify the IP Address !";
}  // namespace

const char* ModuleCommand::usage(Kind kind) {
    // In the order of Kind.
    static const char* const texts[] = {
        "  modules [--json]\n"
        "      Searches for network modules (from --module-search-port to the gateway's\n"
        "      a.b.c.255) and prints one tab-separated line per module: row, IP address,\n"
        "      gateway, MAC address.\n",
        "  module-read --ip A.B.C.D [--mac XX:XX:XX:XX:XX:XX] [--json]\n"
        "      Reads a module's configuration and prints its IP address, gateway, PC\n"
        "      address 1 and PC address 2, tab-separated. --mac makes a static neighbour\n"
        "      entry for the read where this program has the rights.\n",
        "  module-write --ip A.B.C.D --new-ip A.B.C.D --new-gateway A.B.C.D --pc1 A.B.C.D\n"
        "               --pc2 A.B.C.D [--mac XX:XX:XX:XX:XX:XX]\n"
        "      Reads the module's configuration, then writes the new unit address, gateway\n"
        "      and PC addresses into it. The module does not confirm a write.\n",
    };
    return texts[static_cast<int>(kind)];
}

bool ModuleCommand::address(CliOptions& options, std::optional<Ipv4>& into) {
    const auto text = options.value();
    if (!text) return false;
    into = parseIpv4(*text);
    if (!into) options.fail("'" + *text + "' is not an IPv4 address");
    return into.has_value();
}

bool ModuleCommand::parse(CliOptions& options) {
    std::string option;
    const bool takesModule = kind_ != Kind::Search, writes = kind_ == Kind::Write;
    while (options.next(option)) {
        if (takesModule && option == "--ip") {
            address(options, ip_);
        } else if (takesModule && option == "--mac") {
            const auto text = options.value();
            if (text && !(mac_ = NetModuleProtocol::parseMac(*text)))
                options.fail("--mac: '" + *text + "' is not a MAC address");
        } else if (!writes && option == "--json") {
            json_ = true;
        } else if (writes && option == "--new-ip") {
            address(options, newIp_);
        } else if (writes && option == "--new-gateway") {
            address(options, newGateway_);
        } else if (writes && option == "--pc1") {
            address(options, pc1_);
        } else if (writes && option == "--pc2") {
            address(options, pc2_);
        } else {
            options.fail("unknown option " + option);
        }
    }
    if (options.error().empty() && takesModule && !ip_) options.fail("--ip is required");
    if (options.error().empty() && writes && !(newIp_ && newGateway_ && pc1_ && pc2_))
        options.fail("--new-ip, --new-gateway, --pc1 and --pc2 are required");
    error_ = options.error();
    return error_.empty();
}

int ModuleCommand::search(const GlobalOptions& globals, CommandOutput& output) {
    ModuleSearchSettings s;
    s.gateway = globals.gateway;
    s.localPort = globals.moduleSearchPort;
    s.modulePort = globals.modulePort;
    NetModuleTable table;
    std::string error;
    if (!NetModuleSearch::run(s, table, {}, nullptr, &error))
        return output.fail("port", "cannot open UDP port " +
                                       std::to_string(globals.moduleSearchPort) + ": " + error);
    QJsonArray modules;
    for (int row = 0; row < table.count(); ++row) {
        const auto e = *table.entry(row);
        const std::string mac = NetModuleProtocol::macWithColons(e.mac);
        output.text() << row + 1 << '\t' << e.ipText << '\t' << e.gatewayText << '\t' << mac
                      << '\n';
        modules.append(QJsonObject{{"row", row + 1},
                                   {"ip", QString::fromStdString(e.ipText)},
                                   {"gateway", QString::fromStdString(e.gatewayText)},
                                   {"mac", QString::fromStdString(mac)}});
    }
    output.set("modules", modules);
    return output.succeed();
}

std::optional<ModuleConfig> ModuleCommand::read(const GlobalOptions& globals) {
    NeighbourEntry neighbour;
    const std::string ip = formatIpv4(*ip_);
    if (mac_) {
        neighbour = networkAdapters().setNeighbour(ip, NetModuleProtocol::macWithColons(*mac_));
        if (!neighbour.ok)
            qCDebug(lcModule, "Module %s: no neighbour entry: %s", ip.c_str(),
                    neighbour.message.c_str());
    }
    const auto result = NetModuleClient(*ip_, globals.modulePort).read();
    if (neighbour.ok) networkAdapters().removeNeighbour(ip, neighbour.device);
    if (!result.ok()) return std::nullopt;
    return result.config;
}

int ModuleCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(json_, out, err);
    if (kind_ == Kind::Search) return search(globals, output);
    // Refused addresses are refused before anything is sent.
    if (kind_ == Kind::Write && NetModuleProtocol::refused(*newIp_, *newGateway_))
        return output.fail("refused", kRefused);
    const auto config = read(globals);
    if (!config) return output.fail("module-read-failed", kReadFailed);
    if (kind_ == Kind::Read) {
        const std::string ip = formatIpv4(*config->ip), gateway = formatIpv4(*config->gateway),
                          pc1 = formatIpv4(*config->pc1), pc2 = formatIpv4(*config->pc2);
        output.set("ip", QString::fromStdString(ip));
        output.set("gateway", QString::fromStdString(gateway));
        output.set("pc1", QString::fromStdString(pc1));
        output.set("pc2", QString::fromStdString(pc2));
        output.text() << ip << '\t' << gateway << '\t' << pc1 << '\t' << pc2 << '\n';
        return output.succeed();
    }
    const auto message =
        NetModuleProtocol::writeMessage(*config, *newIp_, *newGateway_, *pc1_, *pc2_);
    if (!NetModuleClient(*ip_, globals.modulePort).write(message))
        return output.fail("send-failed", "cannot send to " + formatIpv4(*ip_));
    return output.succeed(kWritten);
}

}  // namespace qel::cli
