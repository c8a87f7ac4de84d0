// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "netsetup/NetModuleTable.h"

namespace qel {

void NetModuleTable::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

int NetModuleTable::add(const ModuleSighting& s) {
    std::lock_guard lock(mutex_);
    if (static_cast<int>(entries_.size()) >= kCapacity) return -1;
    NetModuleEntry e;
    e.ip = s.ip;
    e.ipText = formatIpv4(s.ip);
    e.gateway = s.gateway;
    e.gatewayText = formatIpv4(s.gateway);
    e.mac = s.mac;
    e.macText = NetModuleProtocol::macWithDashes(s.mac);
    entries_.push_back(std::move(e));
    return static_cast<int>(entries_.size()) - 1;
}

std::optional<NetModuleEntry> NetModuleTable::entry(int row) const {
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(entries_.size())) return std::nullopt;
    return entries_[static_cast<size_t>(row)];
}

bool NetModuleTable::setEntry(int row, const NetModuleEntry& entry) {
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(entries_.size())) return false;
    entries_[static_cast<size_t>(row)] = entry;
    return true;
}

int NetModuleTable::count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(entries_.size());
}

int NetModuleTable::selectedRow() const {
    std::lock_guard lock(mutex_);
    return selected_;
}

void NetModuleTable::setSelectedRow(int row) {
    std::lock_guard lock(mutex_);
    selected_ = row;
}

}  // namespace qel
