// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/TargetList.h"

#include <QJsonArray>

#include <algorithm>
#include <memory>
#include <ostream>
#include <thread>

#include "cli/Session.h"
#include "link/EquipmentList.h"
#include "link/EquipmentSearch.h"
#include "link/UdpEndpoint.h"
#include "platform/Ipv4.h"

namespace qel::cli {

namespace {
// "192.168.6.255": where a search through that gateway is sent.
std::string broadcastText(const std::array<uint8_t, 4>& gateway) {
    return formatIpv4(ipv4FromOctets(gateway[0], gateway[1], gateway[2], 255));
}
}  // namespace

bool TargetList::take(const std::string& option, CliOptions& options) {
    if (option == "--all") {
        all_ = true;
        return true;
    }
    if (option != "--ip" && option != "--serial") return false;
    if (auto v = options.value()) (option == "--ip" ? ips_ : serials_).push_back(*v);
    return true;
}

void TargetList::check(const std::string& command, CliOptions& options, bool many) const {
    if (!given()) return options.fail(command + ": give --ip, --serial or --all");
    if (!many && several()) return options.fail(command + ": give one unit, --ip or --serial");
    if (all_ && (!ips_.empty() || !serials_.empty()))
        return options.fail(command +
                            ": --all finds the units itself; leave out --ip and --serial");
    for (const auto* list : {&ips_, &serials_})
        for (size_t i = 0; i < list->size(); ++i) {
            const std::string& t = (*list)[i];
            if (list == &ips_ && !parseIpv4(t))
                return options.fail(command + ": '" + t + "' is not an IPv4 address");
            if (std::count(list->begin(), list->end(), t) > 1)
                return options.fail(command + ": " + t + " is named twice");
        }
}

bool TargetList::gather(const GlobalOptions& globals, const LinkSettings& link,
                        std::vector<std::shared_ptr<Equipment>>& units,
                        std::vector<std::string>& labels, CommandOutput& output) const {
    if (all_) {
        SearchSettings s =
            searchSettingsOf(globals, link.endpoint, globals.gateway, &globals.serialMap);
        s.progressPauseMs = 0;
        EquipmentList found;
        EquipmentSearch(found, s).run();
        for (const auto& e : found.snapshot()) {
            units.push_back(e);
            labels.push_back(e->hasFlag(linkflag::kUdp) ? e->addressText() : e->portName());
        }
        if (units.empty()) {
            output.fail("no-units", "the search found no units on " + broadcastText(s.gateway) +
                                        " or COM1..COM16; units on another network are found "
                                        "with --gateway A.B.C.D (their gateway's address)");
            return false;
        }
    }
    for (const std::string& ip : ips_) {
        auto e = std::make_shared<Equipment>();
        e->setAddress(*parseIpv4(ip));
        e->setFlags(linkflag::kUdp);
        units.push_back(e);
        labels.push_back(ip);
    }
    for (const std::string& port : serials_) {
        auto e = std::make_shared<Equipment>();
        e->setPortName(port);
        e->setFlags(linkflag::kSerial);
        units.push_back(e);
        labels.push_back(port);
    }
    return true;
}

int TargetList::report(const std::vector<std::string>& labels, const std::vector<Result>& results,
                       const std::vector<char>& ok, CommandOutput& output) const {
    QJsonArray entries;
    size_t failed = 0;
    for (size_t i = 0; i < results.size(); ++i) {
        const Result& r = results[i];
        (ok[i] ? output.text() : output.errorText()) << labels[i] << ": " << r.line << "\n";
        QJsonObject entry = r.fields;
        entry.insert("unit", QString::fromStdString(labels[i]));
        entry.insert("ok", ok[i] != 0);
        QJsonObject said = CommandOutput::lineFields(r.line);
        if (ok[i]) {
            for (auto f = said.begin(); f != said.end(); ++f) entry.insert(f.key(), f.value());
        } else {
            said.insert("code", r.code);
            entry.insert("error", said);
            ++failed;
        }
        entries.append(entry);
    }
    output.set("units", entries);
    if (failed == 0) return output.succeed();
    // Each failure is already on its own line of text.
    if (!output.json()) return 1;
    return output.fail("units-failed", std::to_string(failed) + " of " +
                                           std::to_string(results.size()) + " units failed");
}

bool TargetList::open(const GlobalOptions& globals, UdpEndpoint& endpoint, LinkSettings& link,
                      std::vector<std::shared_ptr<Equipment>>& units,
                      std::vector<std::string>& labels, CommandOutput& output) const {
    if ((all_ || !ips_.empty()) && !endpoint.open(globals.localPort)) {
        output.fail("port", "cannot open UDP port " + std::to_string(globals.localPort) + ": " +
                                endpoint.lastError());
        return false;
    }
    link.endpoint = &endpoint;
    link.unitPort = globals.unitPort;
    link.serialMap = &globals.serialMap;
    return gather(globals, link, units, labels, output);
}

int TargetList::run(const GlobalOptions& globals, const Job& job, CommandOutput& output,
                    const Pick& pick) {
    UdpEndpoint endpoint;
    LinkSettings link;
    std::vector<std::shared_ptr<Equipment>> units;
    std::vector<std::string> labels;
    if (!open(globals, endpoint, link, units, labels, output)) return 1;
    if (pick) {
        std::vector<std::shared_ptr<Equipment>> picked;
        std::vector<std::string> pickedLabels;
        for (size_t i : pick(units)) {
            picked.push_back(units.at(i));
            pickedLabels.push_back(labels.at(i));
        }
        units.swap(picked);
        labels.swap(pickedLabels);
    }

    std::vector<Result> results(units.size());
    std::vector<char> ok(units.size(), 0);  // one element per thread, no shared bits
    std::vector<std::thread> workers;
    for (size_t i = 0; i < units.size(); ++i)
        workers.emplace_back([&, i] {
            Unit unit{labels[i], *units[i], link, i};
            ok[i] = job(unit, results[i]);
        });
    for (auto& w : workers) w.join();
    return report(labels, results, ok, output);
}

int TargetList::hold(const GlobalOptions& globals, const Serve& serve, CommandOutput& output) {
    UdpEndpoint endpoint;
    LinkSettings link;
    std::vector<std::shared_ptr<Equipment>> units;
    std::vector<std::string> labels;
    if (!open(globals, endpoint, link, units, labels, output)) return 1;

    std::vector<std::unique_ptr<Session>> sessions;
    std::vector<std::string> failures(units.size());
    std::vector<char> ok(units.size(), 0);  // one element per thread
    std::vector<std::thread> workers;
    for (const auto& unit : units) sessions.push_back(std::make_unique<Session>(*unit, link));
    for (size_t i = 0; i < units.size(); ++i)
        workers.emplace_back([&, i] { ok[i] = sessions[i]->connect(true, failures[i]); });
    for (auto& w : workers) w.join();
    std::vector<std::shared_ptr<Equipment>> connected;
    for (size_t i = 0; i < units.size(); ++i) {
        if (ok[i])
            connected.push_back(units[i]);
        else
            output.errorText() << labels[i] << ": " << failures[i] << "\n";
    }
    if (connected.empty()) return output.fail("units-failed", "no unit could be connected");
    return serve(connected, link);
}

}  // namespace qel::cli
