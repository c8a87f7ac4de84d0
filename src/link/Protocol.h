// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <string_view>

namespace qel {

// UDP ports. Each is a default that settings and tests may override.
namespace port {
constexpr uint16_t kLocal = 9640;         // this program's endpoint for unit traffic
constexpr uint16_t kUnit = 9840;          // the units' command port
constexpr uint16_t kModule = 8000;        // the units' network modules
constexpr uint16_t kSearch = 9401;        // local port of the unit search request
constexpr uint16_t kModuleSearch = 9402;  // local port of the network module search
}  // namespace port

// Model codes as a unit reports them.
namespace model {
constexpr uint32_t kQD206 = 2, kQD406 = 3, kQD408 = 4;
}

// "QD206", "QD406" or "QD408"; empty for any other code.
constexpr std::string_view modelName(uint32_t modelCode) {
    switch (modelCode) {
        case model::kQD206:
            return "QD206";
        case model::kQD406:
            return "QD406";
        case model::kQD408:
            return "QD408";
        default:
            return {};
    }
}
constexpr bool isKnownModel(uint32_t modelCode) {
    return !modelName(modelCode).empty();
}

// Unit-wide command codes (block 0).
namespace unitcode {
constexpr uint8_t kDisconnect = 0x00, kHandshakeAck = 0x01, kHandshake = 0x02, kModel = 0x03,
                  kDeviceName = 0x04, kPassword = 0x05, kModeState = 0x06, kMeters = 0x07,
                  kStoreMode = 0x10, kModeNumber = 0x11, kModeName = 0x12, kActivate = 0x13,
                  kStateSettled = 0x14;
}

// Channel parameter codes (blocks 1 and 2; block 3 for whole-row reads).
namespace param {
constexpr uint8_t kInputSelect = 0x00, kGain = 0x01, kMute = 0x02, kPolarity = 0x03, kDelay = 0x04,
                  kLimiterLevel = 0x05, kLimiterAttack = 0x06, kLimiterRelease = 0x07,
                  kEqBlock = 0x08, kEqPoint = 0x09, kEqSwitch = 0x0A, kHighPass = 0x0B,
                  kLowPass = 0x0C, kCopyChannel = 0x0D, kEqReset = 0x0F;
}

}  // namespace qel
