#include "cli/TargetList.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <thread>

#include "link/EquipmentList.h"
#include "link/EquipmentSearch.h"
#include "link/UdpEndpoint.h"
#include "platform/Ipv4.h"

namespace qel::cli {

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

int TargetList::run(const GlobalOptions& globals, const Job& job, std::ostream& out,
                    std::ostream& err) {
    UdpEndpoint endpoint;
    if ((all_ || !ips_.empty()) && !endpoint.open(globals.localPort)) {
        err << "cannot open UDP port " << globals.localPort << ": " << endpoint.lastError() << "\n";
        return 1;
    }
    LinkSettings link;
    link.endpoint = &endpoint;
    link.unitPort = globals.unitPort;
    link.serialMap = &globals.serialMap;

    std::vector<std::shared_ptr<Equipment>> units;
    std::vector<std::string> labels;
    if (all_) {
        SearchSettings s;
        s.endpoint = &endpoint;
        s.gateway = globals.gateway;
        s.searchPort = globals.searchPort;
        s.modulePort = globals.modulePort;
        s.unitPort = globals.unitPort;
        s.serialMap = &globals.serialMap;
        s.progressPauseMs = 0;
        EquipmentList found;
        EquipmentSearch(found, s).run();
        for (const auto& e : found.snapshot()) {
            units.push_back(e);
            labels.push_back(e->hasFlag(linkflag::kUdp) ? e->addressText() : e->portName());
        }
        if (units.empty()) {
            err << "the search found no units\n";
            return 1;
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

    std::vector<std::string> lines(units.size());
    std::unique_ptr<bool[]> ok(new bool[units.size()]());
    std::vector<std::thread> workers;
    for (size_t i = 0; i < units.size(); ++i)
        workers.emplace_back([&, i] {
            Unit unit{labels[i], *units[i], link};
            ok[i] = job(unit, lines[i]);
        });
    for (auto& w : workers) w.join();
    int status = 0;
    for (size_t i = 0; i < units.size(); ++i) {
        (ok[i] ? out : err) << labels[i] << ": " << lines[i] << "\n";
        if (!ok[i]) status = 1;
    }
    return status;
}

}  // namespace qel::cli
