// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "UnitHost.h"

#include <algorithm>

#include "ModuleSearch.h"
#include "UnitProtocol.h"
#include "link/Packet.h"
#include "platform/Clock.h"

namespace qel::sim {

namespace {
constexpr size_t kDatagramCapacity = 2048;
}  // namespace

int UnitHost::addNetworkUnit(int model, const std::string& ipv4, const std::string& name,
                             const Faults& faults) {
    const auto ip = parseIpv4(ipv4);
    if (!ip) {
        lastError_ = "not an IPv4 address: " + ipv4;
        return -1;
    }
    auto hosted =
        std::make_unique<Hosted>(model, name, faults, static_cast<uint32_t>(units_.size()));
    hosted->ip = *ip;
    hosted->module = ModuleConfig(*ip);
    if (!hosted->unitSocket.open(*ip, ports_.unitPort)) {
        lastError_ = hosted->unitSocket.lastError();
        return -1;
    }
    if (!hosted->moduleSocket.open(*ip, ports_.modulePort)) {
        lastError_ = hosted->moduleSocket.lastError();
        return -1;
    }
    if (!openListener(ModuleSearch::broadcastFor(*ip))) return -1;
    units_.push_back(std::move(hosted));
    return unitCount() - 1;
}

int UnitHost::addSerialUnit(int model, const std::string& name, const Faults& faults) {
    auto hosted =
        std::make_unique<Hosted>(model, name, faults, static_cast<uint32_t>(units_.size()));
    hosted->serial = true;
    if (!hosted->pty.open()) {
        lastError_ = hosted->pty.lastError();
        return -1;
    }
    units_.push_back(std::move(hosted));
    return unitCount() - 1;
}

// Datagrams to a.b.c.255 reach only a socket bound to that address (or to any address), so
// each /24 with units gets one shared listener there.
bool UnitHost::openListener(Ipv4 subnet) {
    if (listeners_.count(subnet)) return true;
    UdpSocket socket;
    if (!socket.open(subnet, ports_.modulePort, true)) {
        lastError_ = socket.lastError();
        return false;
    }
    listeners_.emplace(subnet, std::move(socket));
    return true;
}

std::string UnitHost::address(int index) const {
    const Hosted& h = at(index);
    return h.serial ? (h.pty.isOpen() ? h.pty.slavePath() : std::string()) : formatIpv4(h.ip);
}

std::string UnitHost::stateKey(int index) const {
    const Hosted& h = at(index);
    if (!h.serial) return "udp:" + formatIpv4(h.ip);
    const auto serialBefore = std::count_if(units_.begin(), units_.begin() + index,
                                            [](const auto& u) { return u->serial; });
    return "serial:" + std::to_string(serialBefore);
}

void UnitHost::closeSerial(int index) {
    Hosted& h = at(index);
    if (!h.serial) return;
    h.pty.close();
    h.splitter.clear();
    queue_.dropUnit(index);
}

bool UnitHost::reopenSerial(int index) {
    Hosted& h = at(index);
    if (!h.serial) return false;
    if (h.pty.isOpen()) return true;
    h.splitter.clear();
    if (!h.pty.open()) {
        lastError_ = h.pty.lastError();
        return false;
    }
    return true;
}

void UnitHost::setSilenced(int index, bool silenced) {
    Hosted& h = at(index);
    h.silenced = silenced;
    if (!silenced) return;
    h.splitter.clear();
    queue_.dropUnit(index);
}

void UnitHost::pollSet(std::vector<pollfd>& fds, std::vector<Source>& sources) const {
    fds.clear();
    sources.clear();
    auto add = [&](int fd, Source source) {
        if (fd < 0) return;
        source.fd = fd;
        fds.push_back(pollfd{fd, POLLIN, 0});
        sources.push_back(source);
    };
    for (int i = 0; i < unitCount(); ++i) {
        const Hosted& h = at(i);
        add(h.unitSocket.fd(), Source{Source::Kind::UnitSocket, i, 0, -1});
        add(h.moduleSocket.fd(), Source{Source::Kind::ModuleSocket, i, 0, -1});
        add(h.pty.masterFd(), Source{Source::Kind::Serial, i, 0, -1});
    }
    for (const auto& [subnet, socket] : listeners_)
        add(socket.fd(), Source{Source::Kind::Listener, -1, subnet, -1});
}

int UnitHost::currentFd(const Source& source) const {
    if (source.kind == Source::Kind::Listener) {
        auto it = listeners_.find(source.subnet);
        return it == listeners_.end() ? -1 : it->second.fd();
    }
    if (!valid(source.unit)) return -1;
    const Hosted& h = at(source.unit);
    switch (source.kind) {
        case Source::Kind::UnitSocket:
            return h.unitSocket.fd();
        case Source::Kind::ModuleSocket:
            return h.moduleSocket.fd();
        default:
            return h.pty.masterFd();
    }
}

void UnitHost::service(const Source& source, int64_t nowMs) {
    if (source.fd < 0 || currentFd(source) != source.fd) return;  // closed meanwhile
    switch (source.kind) {
        case Source::Kind::UnitSocket:
            receiveDatagrams(source.unit, nowMs);
            break;
        case Source::Kind::Serial:
            receiveSerial(source.unit, nowMs);
            break;
        case Source::Kind::ModuleSocket:
            receiveModule(source.unit, nowMs);
            break;
        case Source::Kind::Listener:
            for (const auto& requester : searchRequesters(listeners_.at(source.subnet)))
                answerSubnetSearch(source.subnet, requester, nowMs);
            break;
    }
}

void UnitHost::receiveDatagrams(int index, int64_t nowMs) {
    Hosted& h = at(index);
    uint8_t data[kDatagramCapacity];
    Ipv4 from = 0;
    uint16_t port = 0;
    long received;
    while ((received = h.unitSocket.receiveFrom(data, sizeof data, &from, &port)) >= 0) {
        if (h.silenced) continue;
        const size_t length = UnitProtocol::datagramFrameLength(data, received);
        if (length == 0) continue;  // not a frame
        const auto response = h.unit.receive(data, length, tickMs());
        schedule(index, response, Route{Route::Via::UnitSocket, index, from, port}, nowMs);
    }
}

void UnitHost::receiveSerial(int index, int64_t nowMs) {
    Hosted& h = at(index);
    uint8_t data[512];
    long received;
    while ((received = h.pty.read(data, sizeof data)) > 0) {
        if (h.silenced) continue;
        for (const Bytes& f : h.splitter.feed(data, static_cast<size_t>(received))) {
            const auto response = h.unit.receive(f.data(), f.size(), tickMs());
            schedule(index, response, Route{Route::Via::Serial, index, 0, 0}, nowMs);
        }
    }
}

std::vector<std::pair<Ipv4, uint16_t>> UnitHost::searchRequesters(UdpSocket& socket) {
    std::vector<std::pair<Ipv4, uint16_t>> requesters;
    uint8_t data[kDatagramCapacity];
    Ipv4 from = 0;
    uint16_t port = 0;
    long received;
    while ((received = socket.receiveFrom(data, sizeof data, &from, &port)) >= 0)
        if (ModuleSearch::isRequest(data, static_cast<size_t>(received)))
            requesters.emplace_back(from, port);
    return requesters;
}

void UnitHost::receiveModule(int index, int64_t nowMs) {
    Hosted& h = at(index);
    uint8_t data[kDatagramCapacity];
    Ipv4 from = 0;
    uint16_t port = 0;
    long received;
    while ((received = h.moduleSocket.receiveFrom(data, sizeof data, &from, &port)) >= 0) {
        const auto size = static_cast<size_t>(received);
        if (ModuleSearch::isRequest(data, size)) {
            answerSearch(index, {from, port}, nowMs);
            continue;
        }
        if (h.silenced) continue;
        const auto outcome = h.module.receive(data, size, !h.unit.faults().moduleNoLogin);
        if (outcome.reply)
            queue_.push(nowMs, Route{Route::Via::ModuleSocket, index, from, port}, *outcome.reply);
        if (outcome.written && h.module.ip() != h.ip) {
            moveUnit(index, h.module.ip());
            return;  // the socket read from here is gone
        }
    }
}

void UnitHost::moveUnit(int index, Ipv4 address) {
    Hosted& h = at(index);
    UdpSocket unitSocket, moduleSocket;
    if (!unitSocket.open(address, ports_.unitPort) || !moduleSocket.open(address, ports_.modulePort) ||
        !openListener(ModuleSearch::broadcastFor(address)))
        return;
    h.unitSocket = std::move(unitSocket);
    h.moduleSocket = std::move(moduleSocket);
    h.ip = address;
    queue_.dropUnit(index);
}

void UnitHost::answerSubnetSearch(Ipv4 subnet, const std::pair<Ipv4, uint16_t>& requester,
                                  int64_t nowMs) {
    for (int i = 0; i < unitCount(); ++i)
        if (!at(i).serial && ModuleSearch::broadcastFor(at(i).module.ip()) == subnet)
            answerSearch(i, requester, nowMs);
}

void UnitHost::answerSearch(int index, const std::pair<Ipv4, uint16_t>& requester, int64_t nowMs) {
    const Hosted& h = at(index);
    if (h.silenced) return;
    queue_.push(nowMs, Route{Route::Via::ModuleSocket, index, requester.first, requester.second},
                ModuleSearch::reply(h.module.ip(), h.module.gateway(), h.module.mac()));
}

// Bytewise serial replies go out one byte per millisecond; a unit's replies keep their order.
void UnitHost::schedule(int index, const SimUnit::Response& response, const Route& route,
                        int64_t nowMs) {
    Hosted& h = at(index);
    int64_t due = std::max(nowMs + response.delayMs, h.lastDueMs);
    const Faults& faults = h.unit.faults();
    const bool bytewise = h.serial && faults.bytewiseSerial;
    // Duplicated replies come in pairs; a lag holds back the second of each pair.
    const int64_t lag = faults.duplicateReplies ? std::max(faults.duplicateLagMs, 0) : 0;
    for (size_t i = 0; i < response.frames.size(); ++i) {
        const Bytes& f = response.frames[i];
        if (i % 2 == 1) due += lag;
        if (!bytewise) {
            queue_.push(due, route, f);
            continue;
        }
        for (uint8_t byte : f) queue_.push(due++, route, Bytes{byte});
    }
    h.lastDueMs = due;
}

void UnitHost::sendDue(int64_t nowMs) {
    for (const SendQueue::Item& item : queue_.takeDue(nowMs)) send(item);
}

void UnitHost::send(const SendQueue::Item& item) {
    if (!valid(item.route.unit)) return;
    Hosted& h = at(item.route.unit);
    const Route& r = item.route;
    switch (r.via) {
        case Route::Via::UnitSocket:
            h.unitSocket.sendTo(r.address, r.port, item.bytes.data(), item.bytes.size());
            break;
        case Route::Via::ModuleSocket:
            h.moduleSocket.sendTo(r.address, r.port, item.bytes.data(), item.bytes.size());
            break;
        case Route::Via::Serial:
            h.pty.write(item.bytes.data(), item.bytes.size());
            break;
    }
}

}  // namespace qel::sim
