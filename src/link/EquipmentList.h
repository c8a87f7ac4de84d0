// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "link/Equipment.h"

namespace qel {

// The units known to the application, in the order they were found. The search thread
// appends while the user interface reads, so every call locks; entries are shared so that a
// reader's snapshot stays valid after a prune.
class EquipmentList {
public:
    using Entry = std::shared_ptr<Equipment>;

    size_t count() const;
    Entry at(size_t position) const;  // null past the end
    std::vector<Entry> snapshot() const;
    void append(Entry entry);
    // Keeps, in order, only the entries for which keep() is true.
    void prune(const std::function<bool(const Equipment&)>& keep);
    void clear();

private:
    mutable std::mutex mutex_;  // guards entries_
    std::vector<Entry> entries_;
};

}  // namespace qel
