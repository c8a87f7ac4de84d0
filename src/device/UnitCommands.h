// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <string_view>

#include "device/OwnedCommand.h"

namespace qel::cmd {

// Unit-wide commands: block 0, channel byte 0, each with its tries and time-out per try.
// Builders throw std::invalid_argument for a slot number outside 0..19 or a password that is
// not six digits.

constexpr int kDeviceModeSlots = 20;

// Handshake and connection.
OwnedCommand disconnectNotice();                      // 0x00 read, no reply, 1 x 100 ms
OwnedCommand handshakeState();                        // 0x02 read, 1 byte (0: go on), 4 x 1000 ms
OwnedCommand handshakeAck();                          // 0x01 read, 1 byte, 2 x 200 ms
OwnedCommand readModel();                             // 0x03 read, 1 byte model code, 2 x 200 ms
OwnedCommand readDeviceName();                        // 0x04 read, 20 bytes, 2 x 200 ms
OwnedCommand writeDeviceName(std::string_view name);  // 0x04 write, 4 x 400 ms

// Password and user/engineering mode.
OwnedCommand readPassword();                          // 0x05 read, 6 digit values, 2 x 400 ms
OwnedCommand writePassword(std::string_view digits);  // 0x05 write, 4 x 400 ms
OwnedCommand readModeState();                         // 0x06 read, 2 bytes, 1 x 400 ms
OwnedCommand writeModeState(bool engineering);        // 0x06 write [0|1, 0], 2 x 400 ms
OwnedCommand stateSettled();  // 0x14 write, after a mode switch or password change, 2 x 400 ms

OwnedCommand readMeters();  // 0x07 read, 12 bytes, 4 x 400 ms

// Stored modes.
OwnedCommand readCurrentMode();                     // 0x11 read, 2 bytes, 4 x 1400 ms
OwnedCommand readModeName(int slot);                // 0x12 read [slot, 0], 30 bytes, 4 x 1400 ms
OwnedCommand writeModeName(std::string_view name);  // 0x12 write, 2 x 1400 ms
OwnedCommand storeMode(int slot);                   // 0x10 write [slot, 0], 2 x 1400 ms
OwnedCommand recallMode(int slot);                  // 0x11 write [slot, 0], 1 x 2400 ms
OwnedCommand activateRecalledMode(int slot);        // 0x13 write [slot, 0], 1 x 2400 ms
OwnedCommand activateDownloadedMode();              // 0x13 write [0, 0], 2 x 2000 ms

}  // namespace qel::cmd
