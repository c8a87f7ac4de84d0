// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "link/EquipmentList.h"

#include <algorithm>

namespace qel {

size_t EquipmentList::count() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

EquipmentList::Entry EquipmentList::at(size_t position) const {
    std::lock_guard lock(mutex_);
    return position < entries_.size() ? entries_[position] : nullptr;
}

std::vector<EquipmentList::Entry> EquipmentList::snapshot() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

void EquipmentList::append(Entry entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
}

void EquipmentList::prune(const std::function<bool(const Equipment&)>& keep) {
    std::vector<Entry> dropped;  // released outside the lock: their links may still stop
    {
        std::lock_guard lock(mutex_);
        auto split = std::stable_partition(entries_.begin(), entries_.end(),
                                           [&](const Entry& e) { return keep(*e); });
        dropped.assign(std::make_move_iterator(split), std::make_move_iterator(entries_.end()));
        entries_.erase(split, entries_.end());
    }
}

void EquipmentList::clear() {
    prune([](const Equipment&) { return false; });
}

}  // namespace qel
