// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FaultInjector.h"
#include "Faults.h"
#include "Request.h"
#include "RequestRecord.h"
#include "UnitState.h"

namespace qel::sim {

// One simulated unit without its transport: its parameter state, its faults and the log of
// what it received. Not thread-safe; the owner locks.
class SimUnit {
public:
    struct Response {
        std::vector<Bytes> frames;  // sent in this order
        uint32_t delayMs = 0;
    };

    SimUnit(int model, const std::string& name, const Faults& faults, uint32_t meterSeed);

    // Takes one framed request (start bytes and length already checked).
    Response receive(const uint8_t* frame, size_t length, uint32_t tickMs);

    UnitState& state() { return state_; }
    const UnitState& state() const { return state_; }
    void setFaults(const Faults& faults) { faults_.setFaults(faults); }
    const Faults& faults() const { return faults_.faults(); }
    const std::vector<RequestRecord>& requests() const { return log_; }
    void clearRequests() { log_.clear(); }
    size_t badChecksums() const { return badChecksums_; }

private:
    UnitState state_;
    FaultInjector faults_;
    uint32_t meterSeed_;
    int previousCode_ = -1;  // command code of the last good request
    std::vector<RequestRecord> log_;
    size_t badChecksums_ = 0;
};

}  // namespace qel::sim
