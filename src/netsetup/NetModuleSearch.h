// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "link/Protocol.h"
#include "netsetup/NetModuleTable.h"

namespace qel {

struct ModuleSearchSettings {
    std::array<uint8_t, 4> gateway = {192, 168, 6, 255};  // the request goes to a.b.c.255
    uint16_t localPort = port::kModuleSearch;
    uint16_t modulePort = port::kModule;
    uint32_t windowMs = 2000;  // how long replies are collected
};

// One search for network modules: the 12-byte request from the local port to the gateway's
// a.b.c.255, then the replies for the window, each a new row of the table.
class NetModuleSearch {
public:
    // Called when the table was emptied (row -1) and for each new row.
    using Found = std::function<void(int row, const NetModuleEntry& entry)>;

    // Runs on the caller's thread; a set stop flag ends the window early. False when the
    // socket could not be opened (error says why).
    static bool run(const ModuleSearchSettings& settings, NetModuleTable& table,
                    const Found& found = {}, const std::atomic<bool>* stop = nullptr,
                    std::string* error = nullptr);
    // One reply into the table: its row, or -1 when it is too short or the table is full.
    static int takeReply(NetModuleTable& table, const uint8_t* data, size_t size);
};

// The search thread of the unit network settings and the table it fills: one search at a
// time, owned by the application object. A search outlives the window that started it, which
// hears of it through a listener that it sets and clears; the listener runs on the search
// thread. Destroying the searcher stops and joins the search before the table goes.
class NetModuleSearcher {
public:
    NetModuleSearcher() = default;
    ~NetModuleSearcher();
    NetModuleSearcher(const NetModuleSearcher&) = delete;
    NetModuleSearcher& operator=(const NetModuleSearcher&) = delete;

    // False while a search runs.
    bool start(const ModuleSearchSettings& settings);
    bool running() const { return running_.load(); }
    NetModuleTable& table() { return table_; }
    // nullptr detaches; returns once a call in progress is over.
    void setListener(NetModuleSearch::Found listener);
    // Waits until no search runs (for tests and the command line).
    void wait();

private:
    NetModuleTable table_;
    std::mutex listenerMutex_;  // guards listener_ and its calls
    NetModuleSearch::Found listener_;
    std::mutex threadMutex_;  // guards thread_ across start(), wait() and the destructor
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_{false};
};

}  // namespace qel
