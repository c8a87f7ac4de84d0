// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitCommands.h"

#include <stdexcept>
#include <string>

#include "device/UnitText.h"

namespace qel::cmd {

namespace {

constexpr char kLabelModeNumber[] = "模式序号";
constexpr char kLabelModeNames[] = "模式名称";

OwnedCommand unitRead(uint8_t code, size_t replyLength, int tries, uint32_t timeoutMs) {
    OwnedCommand c;
    c.operation = op::kRead;
    c.code = code;
    c.replyLength = replyLength;
    c.tries = tries;
    c.timeoutMs = timeoutMs;
    return c;
}

OwnedCommand unitWrite(uint8_t code, std::vector<uint8_t> payload, int tries, uint32_t timeoutMs) {
    OwnedCommand c = unitRead(code, 0, tries, timeoutMs);
    c.operation = op::kWrite;
    c.payload = std::move(payload);
    return c;
}

uint8_t checkedSlot(int slot) {
    if (slot < 0 || slot >= kDeviceModeSlots)
        throw std::invalid_argument("device mode slot " + std::to_string(slot) +
                                    " is outside 0..19");
    return static_cast<uint8_t>(slot);
}

std::vector<uint8_t> textPayload(std::string_view text) {
    const auto bytes = encodeUnitText(text);
    return {bytes.begin(), bytes.end()};
}

}  // namespace

OwnedCommand disconnectNotice() {
    return unitRead(unitcode::kDisconnect, 0, 1, 100);
}
OwnedCommand handshakeState() {
    return unitRead(unitcode::kHandshake, 1, 4, 1000);
}
OwnedCommand handshakeAck() {
    return unitRead(unitcode::kHandshakeAck, 1, 2, 200);
}
OwnedCommand readModel() {
    return unitRead(unitcode::kModel, 1, 2, 200);
}
OwnedCommand readDeviceName() {
    return unitRead(unitcode::kDeviceName, kUnitTextSize, 2, 200);
}
OwnedCommand writeDeviceName(std::string_view name) {
    return unitWrite(unitcode::kDeviceName, textPayload(name), 4, 400);
}

OwnedCommand readPassword() {
    return unitRead(unitcode::kPassword, kPasswordSize, 2, 400);
}
OwnedCommand writePassword(std::string_view digits) {
    if (!isValidPassword(digits)) throw std::invalid_argument("a password is six digits");
    const auto values = encodePassword(digits);
    return unitWrite(unitcode::kPassword, {values.begin(), values.end()}, 4, 400);
}
OwnedCommand readModeState() {
    return unitRead(unitcode::kModeState, 2, 1, 400);
}
OwnedCommand writeModeState(bool engineering) {
    return unitWrite(unitcode::kModeState, {engineering ? uint8_t{1} : uint8_t{0}, 0}, 2, 400);
}
OwnedCommand stateSettled() {
    return unitWrite(unitcode::kStateSettled, {0, 0}, 2, 400);
}

OwnedCommand readMeters() {
    return unitRead(unitcode::kMeters, 12, 4, 400);
}

OwnedCommand readCurrentMode() {
    OwnedCommand c = unitRead(unitcode::kModeNumber, 2, 4, 1400);
    c.label = kLabelModeNumber;
    return c;
}
OwnedCommand readModeName(int slot) {
    OwnedCommand c = unitRead(unitcode::kModeName, 30, 4, 1400);
    c.payload = {checkedSlot(slot), 0};
    c.label = kLabelModeNames;
    return c;
}
OwnedCommand writeModeName(std::string_view name) {
    return unitWrite(unitcode::kModeName, textPayload(name), 2, 1400);
}
OwnedCommand storeMode(int slot) {
    return unitWrite(unitcode::kStoreMode, {checkedSlot(slot), 0}, 2, 1400);
}
OwnedCommand recallMode(int slot) {
    return unitWrite(unitcode::kModeNumber, {checkedSlot(slot), 0}, 1, 2400);
}
OwnedCommand activateRecalledMode(int slot) {
    return unitWrite(unitcode::kActivate, {checkedSlot(slot), 0}, 1, 2400);
}
OwnedCommand activateDownloadedMode() {
    return unitWrite(unitcode::kActivate, {0, 0}, 2, 2000);
}

}  // namespace qel::cmd
