// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "SystemCommands.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qel::sim {

namespace {

// Copies up to `size` payload bytes; the rest of the field becomes 0.
void copyField(const Request& r, uint8_t* field, size_t size) {
    for (size_t i = 0; i < size; ++i) field[i] = r.at(i);
}

constexpr size_t kModeNameReply = 30;
constexpr int kMeterMax = 30;

}  // namespace

std::optional<Bytes> SystemCommands::handle(const Request& r) {
    if (r.op == op::kRead) return read(r);
    if (r.op == op::kWrite || r.op == op::kLoad) return write(r);
    return r.echo();
}

Bytes SystemCommands::read(const Request& r) const {
    switch (r.code) {
        case 0x01:
            return {1, 0};
        case 0x02:
            return {busyState(), 0};
        case 0x03:
            return {static_cast<uint8_t>(state_.model), 0};
        case 0x04:
            return Bytes(state_.nameWire, state_.nameWire + kNameBytes);
        case 0x05:
            return Bytes(state_.password, state_.password + kPasswordDigits);
        case 0x06:
            return {static_cast<uint8_t>(state_.engineering ? 1 : 0), 0};
        case 0x07:
            return meters();
        case 0x11:
            return {state_.currentMode, 0};
        case 0x12:
            return storedModeName(r.at(0));
        default:
            return r.echo();
    }
}

std::optional<Bytes> SystemCommands::write(const Request& r) {
    switch (r.code) {
        case 0x04:
            copyField(r, state_.nameWire, kNameBytes);
            break;
        case 0x05:
            copyField(r, state_.password, kPasswordDigits);
            break;
        case 0x06:
            state_.engineering = r.at(0) != 0;
            break;
        case 0x10:
            if (!store(r.at(0))) return std::nullopt;
            break;
        case 0x11:
            recall(r.at(0));
            break;
        case 0x12:
            copyField(r, state_.pendingStoreName, kNameBytes);
            break;
        default:
            break;  // 0x00 disconnect, 0x13 activate, 0x14: acknowledged only
    }
    return r.echo();
}

uint8_t SystemCommands::busyState() const {
    const bool afterName = context_.previousCode == 0x04;
    switch (context_.busy) {
        case Faults::Busy::Always:
            return 1;
        case Faults::Busy::First:
            return afterName ? 0 : 1;
        case Faults::Busy::Last:
            return afterName ? 1 : 0;
        case Faults::Busy::None:
            break;
    }
    return 0;
}

// Levels swing between 0 and 30 with a period and phase of their own per slot; muted channels
// and channels the model does not have read 0.
Bytes SystemCommands::meters() const {
    Bytes levels(kInputs + kOutputs, 0);
    const Params& p = state_.params;
    for (int slot = 0; slot < kInputs + kOutputs; ++slot) {
        const bool isInput = slot < kInputs;
        const int channel = isInput ? slot : slot - kInputs;
        const bool present =
            isInput ? channel < inputCount(state_.model) : channel < outputCount(state_.model);
        const bool muted = isInput ? p.in[channel].mute != 0 : p.out[channel].mute != 0;
        if (!present || muted) continue;
        const double period = 1200.0 + 70.0 * ((slot + context_.meterSeed) % 12);
        const double phase = 0.9 * slot + 0.37 * context_.meterSeed;
        const double wave = std::sin(2.0 * std::numbers::pi * context_.tickMs / period + phase);
        levels[static_cast<size_t>(slot)] =
            static_cast<uint8_t>(std::lround(kMeterMax * (0.5 + 0.5 * wave)));
    }
    return levels;
}

Bytes SystemCommands::storedModeName(uint8_t index) const {
    Bytes reply(kModeNameReply, 0);
    if (index < kModes) std::copy_n(state_.modes[index].nameWire, kNameBytes, reply.begin());
    return reply;
}

// A store is refused in user mode; the unit then stays silent.
bool SystemCommands::store(uint8_t mode) {
    if (!state_.engineering) return false;
    if (mode >= kModes) return true;
    StoredMode& slot = state_.modes[mode];
    std::copy_n(state_.pendingStoreName, kNameBytes, slot.nameWire);
    slot.params = state_.params;
    slot.used = true;
    return true;
}

void SystemCommands::recall(uint8_t mode) {
    if (mode >= kModes) return;
    state_.params = state_.modes[mode].params;
    state_.currentMode = mode;
}

}  // namespace qel::sim
