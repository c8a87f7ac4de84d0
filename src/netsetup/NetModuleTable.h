// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "netsetup/NetModuleProtocol.h"

namespace qel {

// One module found by a search (row n of the list), with what its configuration reply left.
struct NetModuleEntry {
    std::string ipText;
    Ipv4 ip = 0;
    std::string gatewayText;
    Ipv4 gateway = 0;
    std::string macText;  // with dashes
    Mac mac{};
    std::array<uint8_t, 6> replyId{};    // configuration reply bytes 22..27, kept at selection
    std::array<uint8_t, 8> replyHead{};  // configuration reply bytes 0..7
};

// The modules of the last search, at most 256, refilled from row 0 by each search, and the
// selected row (-1 at start). Every call locks.
class NetModuleTable {
public:
    static constexpr int kCapacity = 256;

    void clear();
    // The new row, or -1 when the table is full.
    int add(const ModuleSighting& sighting);
    std::optional<NetModuleEntry> entry(int row) const;
    bool setEntry(int row, const NetModuleEntry& entry);
    int count() const;
    int selectedRow() const;
    void setSelectedRow(int row);

private:
    mutable std::mutex mutex_;  // guards entries_ and selected_: the search thread adds rows
    std::vector<NetModuleEntry> entries_;
    int selected_ = -1;
};

}  // namespace qel
