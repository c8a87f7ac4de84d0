// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "Request.h"
#include "platform/Ipv4.h"

namespace qel::sim {

// Where a scheduled send goes.
struct Route {
    enum class Via { UnitSocket, ModuleSocket, Serial };
    Via via = Via::UnitSocket;
    int unit = 0;
    Ipv4 address = 0;  // datagram destination (sockets only)
    uint16_t port = 0;
};

// Sends waiting for their time, earliest first; equal times keep their order. Times are
// milliseconds on one steady clock chosen by the owner.
class SendQueue {
public:
    struct Item {
        Route route;
        Bytes bytes;
    };

    void push(int64_t dueMs, Route route, Bytes bytes);
    // Removes and returns everything due at nowMs.
    std::vector<Item> takeDue(int64_t nowMs);
    // Milliseconds until the next item is due (0 when overdue), -1 when empty.
    int msUntilNext(int64_t nowMs) const;
    // Forgets everything for one unit (its transport went away).
    void dropUnit(int unit);
    bool empty() const { return items_.empty(); }

private:
    std::multimap<int64_t, Item> items_;  // insertion order is kept among equal keys
};

}  // namespace qel::sim
