// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "SimUnit.h"

#include <chrono>

#include "UnitProtocol.h"
#include "link/Packet.h"

namespace qel::sim {

SimUnit::SimUnit(int model, const std::string& name, const Faults& faults, uint32_t meterSeed)
    : state_(defaultUnitState(model, name)), faults_(faults), meterSeed_(meterSeed) {}

SimUnit::Response SimUnit::receive(const uint8_t* frame, size_t length, uint32_t tickMs) {
    RequestRecord record{tickMs, Bytes(frame, frame + length), frameChecksumValid(frame, length),
                         false};
    record.arrivalNs = std::chrono::steady_clock::now().time_since_epoch().count();
    Response response;
    if (!record.checksumOk) {
        ++badChecksums_;
        log_.push_back(std::move(record));
        return response;
    }
    record.dropped = faults_.dropRequest();
    log_.push_back(std::move(record));
    if (log_.back().dropped) return response;

    const uint8_t code = frame[frame::kCode];
    const SystemCommands::Context context{faults_.faults().busy, previousCode_, tickMs, meterSeed_};
    previousCode_ = code;
    // An ignored write is answered from a copy of the state, which is then thrown away.
    const uint8_t blockOf = frame[frame::kTarget] >> 4, operation = frame[frame::kTarget] & 0x0F;
    const bool ignored = (blockOf == block::kInput || blockOf == block::kOutput) &&
                         operation != op::kRead && faults_.faults().ignoredWrites.count(code) != 0;
    UnitState scratch;
    if (ignored) scratch = state_;
    auto reply = UnitProtocol::answer(ignored ? scratch : state_, frame, length, context);
    if (!reply || faults_.silent(code)) return response;
    response.frames = faults_.shape(std::move(*reply));
    log_.back().replyDropped = faults_.lastReplyDropped();
    if (!response.frames.empty()) response.delayMs = faults_.replyDelayMs();
    return response;
}

}  // namespace qel::sim
