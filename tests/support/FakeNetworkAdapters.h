// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/NetworkAdapters.h"

namespace qel::test {

// The adapter layer of a made-up PC: the adapters a test lists, and a log of every change
// asked for ("add eth0 192.168.6.222/24", "remove ...", "neigh ...", "unneigh ..."). Added
// addresses show up in later listings. Calls may come from a worker thread.
class FakeNetworkAdapters : public NetworkAdapters {
public:
    std::vector<NetworkAdapter> list;
    bool failChanges = false;
    bool failNeighbours = false;

    std::vector<NetworkAdapter> adapters() override {
        std::lock_guard lock(mutex_);
        return list;
    }
    AddressChange addAddress(const std::string& adapter, const std::string& cidr) override {
        std::lock_guard lock(mutex_);
        log_.push_back("add " + adapter + " " + cidr);
        if (failChanges) return {false, AddressMethod::None, "refused"};
        for (auto& a : list)
            if (a.name == adapter) a.addresses.push_back(cidr.substr(0, cidr.find('/')));
        return {true, AddressMethod::NetworkManager, {}};
    }
    AddressChange removeAddress(const std::string& adapter, const std::string& cidr,
                                AddressMethod method) override {
        std::lock_guard lock(mutex_);
        log_.push_back("remove " + adapter + " " + cidr +
                       (method == AddressMethod::NetworkManager ? " nm" : " other"));
        return {true, method, {}};
    }
    NeighbourEntry setNeighbour(const std::string& ip, const std::string& mac) override {
        std::lock_guard lock(mutex_);
        log_.push_back("neigh " + ip + " " + mac);
        return {!failNeighbours, failNeighbours ? "" : "eth9", failNeighbours ? "no rights" : ""};
    }
    void removeNeighbour(const std::string& ip, const std::string& device) override {
        std::lock_guard lock(mutex_);
        log_.push_back("unneigh " + ip + " " + device);
    }

    std::vector<std::string> log() const {
        std::lock_guard lock(mutex_);
        return log_;
    }
    void clearLog() {
        std::lock_guard lock(mutex_);
        log_.clear();
    }

private:
    mutable std::mutex mutex_;  // guards list and log_ against the worker threads
    std::vector<std::string> log_;
};

inline NetworkAdapter wired(const std::string& name, std::vector<std::string> addresses,
                            const std::string& gateway = {}) {
    return {name, NetworkAdapter::Kind::Wired, std::move(addresses), gateway};
}

}  // namespace qel::test
