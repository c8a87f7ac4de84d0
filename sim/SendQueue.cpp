// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "SendQueue.h"

#include <algorithm>
#include <limits>

namespace qel::sim {

void SendQueue::push(int64_t dueMs, Route route, Bytes bytes) {
    items_.emplace(dueMs, Item{route, std::move(bytes)});
}

std::vector<SendQueue::Item> SendQueue::takeDue(int64_t nowMs) {
    std::vector<Item> due;
    auto end = items_.upper_bound(nowMs);
    for (auto it = items_.begin(); it != end; ++it) due.push_back(std::move(it->second));
    items_.erase(items_.begin(), end);
    return due;
}

int SendQueue::msUntilNext(int64_t nowMs) const {
    if (items_.empty()) return -1;
    const int64_t wait = std::max<int64_t>(0, items_.begin()->first - nowMs);
    return static_cast<int>(std::min<int64_t>(wait, std::numeric_limits<int>::max()));
}

void SendQueue::dropUnit(int unit) {
    std::erase_if(items_, [unit](const auto& entry) { return entry.second.route.unit == unit; });
}

}  // namespace qel::sim
