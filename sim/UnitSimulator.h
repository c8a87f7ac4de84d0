// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Faults.h"
#include "RequestRecord.h"
#include "UnitHost.h"
#include "UnitState.h"
#include "platform/Waker.h"

namespace qel::sim {

// Stands in for any number of units, seen from the units' side of the protocol: network units
// on their own loopback addresses (command frames on the unit port, search on the module
// port) and serial units on pseudo-terminals. One background thread serves them all.
//
// Every method may be called from any thread, before or after start(). Units are numbered
// from 0 in the order they were added; a bad number makes a call do nothing (or return an
// empty value).
//
// A search sent to a.b.c.255 reaches one socket bound there, so all network units of one /24
// belong in one simulator; a second simulator with units in the same /24 misses searches.
class UnitSimulator {
public:
    using Ports = SimPorts;

    explicit UnitSimulator(Ports ports = {});
    ~UnitSimulator();  // stops the thread
    UnitSimulator(const UnitSimulator&) = delete;
    UnitSimulator& operator=(const UnitSimulator&) = delete;

    // Return the unit's number, or -1 (see lastError()).
    int addNetworkUnit(int model, const std::string& ipv4, const std::string& name,
                       const Faults& faults = {});
    int addSerialUnit(int model, const std::string& name, const Faults& faults = {});

    int unitCount() const;
    bool isSerial(int unit) const;
    // The IPv4 text of a network unit or the slave path of a serial unit.
    std::string address(int unit) const;
    // The pseudo-terminal a program opens to reach a serial unit; "" for others.
    std::string slavePath(int unit) const;

    bool start();
    void stop();
    bool running() const { return running_.load(); }

    void setFaults(int unit, const Faults& faults);  // also restarts the fault generator
    Faults faults(int unit) const;
    UnitState state(int unit) const;
    void setState(int unit, const UnitState& state);

    std::vector<RequestRecord> requests(int unit) const;
    void clearRequests(int unit);
    // Waits until the unit has logged at least `count` requests; false on time-out.
    bool waitForRequests(int unit, size_t count, int timeoutMs) const;
    size_t badChecksums(int unit) const;

    // The unit's pseudo-terminal goes away, as when its USB cable is pulled.
    void closeSerial(int unit);
    // A closed serial unit comes back, as when its cable is plugged in again: on a new
    // pseudo-terminal, whose path slavePath() then gives. False when it cannot be made.
    bool reopenSerial(int unit);
    // A silenced unit (network or serial) answers nothing, searches included, and drops the
    // replies it had not sent yet; unsilencing lets it answer again with its state kept.
    void setSilenced(int unit, bool silenced);
    // The network module of a network unit: its addresses and what it heard.
    ModuleConfig module(int unit) const;

    // States of all units, keyed by address (serial units by their order).
    bool saveStates(const std::string& file) const;
    // Applies the saved states to the units with the same key and model.
    bool loadStates(const std::string& file);

    std::string lastError() const;

private:
    void run();

    mutable std::mutex mutex_;                       // guards host_ and lastError_
    mutable std::condition_variable requestLogged_;  // signalled after input was served
    UnitHost host_;
    mutable std::string lastError_;

    Waker waker_;  // ends the thread's poll() when units are added or it must stop
    std::atomic<bool> stopping_{false};
    std::atomic<bool> running_{false};
    std::thread thread_;
    std::mutex lifecycleMutex_;  // guards thread_ across start() and stop()
};

}  // namespace qel::sim
