// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "Faults.h"
#include "Request.h"

namespace qel::sim {

// Applies one unit's Faults to its traffic. Every random choice is drawn in a fixed order
// per request from a generator seeded with Faults::seed, so equal request sequences give
// equal outcomes.
class FaultInjector {
public:
    explicit FaultInjector(const Faults& faults = {});

    // Replaces the faults, restarts the generator and forgets a held reply.
    void setFaults(const Faults& faults);
    const Faults& faults() const { return faults_; }

    // Drawn once per request with a good checksum.
    bool dropRequest();
    bool silent(uint8_t code) const { return faults_.silentCodes.count(code) != 0; }

    // Turns a computed reply into the frames that go out now, in order (possibly none).
    std::vector<Bytes> shape(Bytes reply);
    // Whether the last reply shaped was lost to the drop-replies fault.
    bool lastReplyDropped() const { return lastReplyDropped_; }
    // Delay before the frames of this reply go out.
    uint32_t replyDelayMs();

private:
    double draw();
    bool chance(double probability);
    void falsify(Bytes& reply) const;

    Faults faults_;
    std::mt19937 rng_;
    std::optional<Bytes> held_;  // a reply kept back for the late-reply fault
    bool lastReplyDropped_ = false;
};

}  // namespace qel::sim
