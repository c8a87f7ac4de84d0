#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/CommandQueue.h"

namespace qel {

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

// One command ready for a unit's queue. Unlike Command it owns its payload, so it can be
// built ahead and kept until it has been enqueued.
struct OwnedCommand {
    uint8_t operation = op::kRead;
    uint8_t block = block::kUnit;
    uint8_t channel = 0;
    uint8_t code = 0;
    std::vector<uint8_t> payload{0, 0};
    size_t replyLength = 0;  // reply data bytes wanted
    int tries = 1;
    uint32_t timeoutMs = 100;
    const char* label = nullptr;  // trace label of a transfer step, if it has one

    // The queue's view of this command. The payload pointer stays valid while this object
    // lives unchanged; replyDestination needs room for replyLength bytes.
    Command toCommand(uint8_t* replyDestination = nullptr) const;
};

}  // namespace qel
