// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "netsetup/PcAddressSetup.h"

#include <QSettings>
#include <algorithm>

#include "platform/Ipv4.h"
#include "platform/Trace.h"

namespace qel {

PcAddressSetup::PcAddressSetup(NetworkAdapters& adapters, QString configPath)
    : adapters_(adapters), configPath_(std::move(configPath)) {}

PcAddressSetup::Start PcAddressSetup::countStart() {
    QSettings user("Quellmar", "Quellmar");
    const QString marker = user.value(kMarker).toString();
    user.setValue(kMarker, QString::number(marker.isEmpty() ? 1 : marker.toInt() + 1));
    return marker.isEmpty() ? Start::First : Start::Later;
}

bool PcAddressSetup::autoIpOn() const {
    return QSettings(configPath_, QSettings::IniFormat).value("NetConfig/AutoIP", 1).toInt() != 0;
}

const NetworkAdapter* PcAddressSetup::findAdapter(const std::vector<NetworkAdapter>& adapters) {
    const NetworkAdapter* found = nullptr;
    for (const NetworkAdapter& a : adapters)
        if (a.kind == NetworkAdapter::Kind::Wired && !a.addresses.empty() &&
            a.addresses.front().rfind("192.168.", 0) == 0)
            found = &a;
    return found;
}

std::pair<std::string, std::string> PcAddressSetup::hostDefaults(
    const std::vector<NetworkAdapter>& adapters) {
    std::pair<std::string, std::string> last;
    for (const NetworkAdapter& a : adapters) {
        if (a.kind == NetworkAdapter::Kind::Loopback) continue;
        for (const std::string& text : a.addresses) {
            const auto ip = parseIpv4(text);
            if (!ip) continue;
            last = {text, formatIpv4(ipv4FromOctets(ipv4Octet(*ip, 0), ipv4Octet(*ip, 1),
                                                    ipv4Octet(*ip, 2), 1))};
        }
    }
    return last;
}

PcAddressSetup::Change PcAddressSetup::automaticChange() {
    const auto list = adapters_.adapters();
    const NetworkAdapter* adapter = findAdapter(list);
    if (!adapter) return Change::NoAdapter;
    adapter_ = adapter->name;
    const std::string& address = adapter->addresses.front();
    if (address.rfind(kUnitsSubnet, 0) != 0) {
        QSettings ini(configPath_, QSettings::IniFormat);
        ini.setValue("NetConfig/realIP", QString::fromStdString(address));
        ini.setValue("NetConfig/realWY", QString::fromStdString(adapter->gateway));
    }
    // An address the adapter had before is not ours to take away at exit.
    const auto& all = adapter->addresses;
    if (std::find(all.begin(), all.end(), kAutoAddress) != all.end()) return Change::AlreadyThere;
    const AddressChange change = adapters_.addAddress(adapter_, kAutoCidr);
    if (!change.ok) {
        qCDebug(lcAddress, "PC address: %s on %s failed: %s", kAutoCidr, adapter_.c_str(),
                change.message.c_str());
        return Change::Failed;
    }
    method_ = change.method;
    return Change::Made;
}

void PcAddressSetup::restoreAtExit() {
    if (!changed()) return;
    const AddressChange change = adapters_.removeAddress(adapter_, kAutoCidr, method_);
    if (!change.ok)
        qCDebug(lcAddress, "PC address: removing %s from %s failed: %s", kAutoCidr,
                adapter_.c_str(), change.message.c_str());
    method_ = AddressMethod::None;
}

}  // namespace qel
