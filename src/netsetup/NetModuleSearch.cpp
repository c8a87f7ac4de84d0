// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "netsetup/NetModuleSearch.h"

#include "platform/Clock.h"
#include "platform/Trace.h"
#include "platform/UdpSocket.h"

namespace qel {

int NetModuleSearch::takeReply(NetModuleTable& table, const uint8_t* data, size_t size) {
    const auto sighting = NetModuleProtocol::readSighting(data, size);
    return sighting ? table.add(*sighting) : -1;
}

bool NetModuleSearch::run(const ModuleSearchSettings& settings, NetModuleTable& table,
                          const Found& found, const std::atomic<bool>* stop, std::string* error) {
    UdpSocket socket;
    if (!socket.open(0, settings.localPort)) {
        if (error) *error = socket.lastError();
        qCDebug(lcModule, "Module search: %s", socket.lastError().c_str());
        return false;
    }
    const auto& g = settings.gateway;
    const auto request = NetModuleProtocol::searchRequest();
    if (!socket.allowBroadcast() ||
        socket.sendTo(ipv4FromOctets(g[0], g[1], g[2], 255), settings.modulePort, request.data(),
                      request.size()) < 0)
        qCDebug(lcModule, "Module search: %s", socket.lastError().c_str());
    table.clear();
    if (found) found(-1, {});
    uint8_t reply[NetModuleProtocol::kConfigBuffer];
    const uint32_t start = tickMs();
    while (tickMs() - start < settings.windowMs && !(stop && stop->load())) {
        if (!socket.waitReadable(1)) continue;
        long n;
        while ((n = socket.receiveFrom(reply, sizeof reply)) >= 0) {
            const int row = takeReply(table, reply, static_cast<size_t>(n));
            if (row >= 0 && found) found(row, *table.entry(row));
        }
    }
    return true;
}

NetModuleSearcher::~NetModuleSearcher() {
    stop_ = true;
    wait();
}

bool NetModuleSearcher::start(const ModuleSearchSettings& settings) {
    std::lock_guard lock(threadMutex_);
    if (running_.load()) return false;
    if (thread_.joinable()) thread_.join();  // the last search, over already
    running_ = true;
    stop_ = false;
    thread_ = std::thread([this, settings] {
        NetModuleSearch::run(settings, table_, [this](int row, const NetModuleEntry& entry) {
            std::lock_guard listening(listenerMutex_);
            if (listener_) listener_(row, entry);
        }, &stop_);
        running_ = false;
    });
    return true;
}

void NetModuleSearcher::setListener(NetModuleSearch::Found listener) {
    std::lock_guard lock(listenerMutex_);
    listener_ = std::move(listener);
}

void NetModuleSearcher::wait() {
    std::lock_guard lock(threadMutex_);
    if (thread_.joinable()) thread_.join();
}

}  // namespace qel
