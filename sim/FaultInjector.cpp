// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "FaultInjector.h"

#include <utility>

#include "UnitProtocol.h"
#include "link/Packet.h"

namespace qel::sim {

FaultInjector::FaultInjector(const Faults& faults) {
    setFaults(faults);
}

void FaultInjector::setFaults(const Faults& faults) {
    faults_ = faults;
    rng_.seed(faults.seed);
    held_.reset();
}

double FaultInjector::draw() {
    return static_cast<double>(rng_()) / 4294967296.0;
}

bool FaultInjector::chance(double probability) {
    return draw() < probability;
}

bool FaultInjector::dropRequest() {
    return chance(faults_.dropRequests);
}

std::vector<Bytes> FaultInjector::shape(Bytes reply) {
    std::vector<Bytes> out;
    lastReplyDropped_ = chance(faults_.dropReplies);
    if (lastReplyDropped_) return out;
    falsify(reply);
    if (faults_.lateReplies) {
        if (!held_) {
            held_ = std::move(reply);
            return out;
        }
        out.push_back(std::move(*held_));
        held_.reset();
    }
    out.push_back(std::move(reply));
    if (faults_.duplicateReplies) {
        std::vector<Bytes> twice;
        for (const Bytes& f : out) twice.insert(twice.end(), {f, f});
        out = std::move(twice);
    }
    return out;
}

uint32_t FaultInjector::replyDelayMs() {
    uint32_t delay = faults_.replyDelayMs > 0 ? static_cast<uint32_t>(faults_.replyDelayMs) : 0;
    if (faults_.replyJitterMs > 0)
        delay += static_cast<uint32_t>(draw() * (faults_.replyJitterMs + 1));
    return delay;
}

// Another instance tag and another command code never equal the request's.
void FaultInjector::falsify(Bytes& reply) const {
    if (reply.size() < frame::kHeaderSize) return;
    if (faults_.wrongTag) {
        reply[frame::kTagLow] ^= 0x5A;
        reply[frame::kTagHigh] ^= 0xA5;
    }
    if (faults_.wrongEcho) reply[frame::kCode] ^= 0x40;
    if (faults_.wrongTag || faults_.wrongEcho) UnitProtocol::reseal(reply);
}

}  // namespace qel::sim
