// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <optional>

#include "Faults.h"
#include "Request.h"
#include "UnitState.h"

namespace qel::sim {

// The unit-wide commands (target block 0): identity, name, password, user/engineering mode,
// meters and the stored modes.
class SystemCommands {
public:
    struct Context {
        Faults::Busy busy = Faults::Busy::None;
        int previousCode = -1;   // command code of the request before this one, -1 for none
        uint32_t tickMs = 0;     // moves the meters
        uint32_t meterSeed = 0;  // gives each unit its own meter pattern
    };

    SystemCommands(UnitState& state, const Context& context) : state_(state), context_(context) {}

    // The reply payload, or nothing when the unit does not answer.
    std::optional<Bytes> handle(const Request& r);

private:
    Bytes read(const Request& r) const;
    std::optional<Bytes> write(const Request& r);
    uint8_t busyState() const;
    Bytes meters() const;
    Bytes storedModeName(uint8_t index) const;
    bool store(uint8_t mode);
    void recall(uint8_t mode);

    UnitState& state_;
    Context context_;
};

}  // namespace qel::sim
