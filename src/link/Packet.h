// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>

namespace qel {

// Frame layout of one Packet between the PC and a unit.
namespace frame {
constexpr size_t kMaxSize = 128;
constexpr size_t kHeaderSize = 10;
constexpr size_t kMaxPayload = kMaxSize - kHeaderSize;  // 118
constexpr size_t kStart1 = 0, kStart2 = 1, kTagLow = 2, kTagHigh = 3, kLength = 4, kTarget = 5,
                 kChecksumLow = 6, kChecksumHigh = 7, kChannel = 8, kCode = 9, kPayload = 10;
}  // namespace frame

// Target block: high nibble of byte 5.
namespace block {
constexpr uint8_t kUnit = 0, kInput = 1, kOutput = 2, kAllChannels = 3;
}

// Operation: low nibble of byte 5. Replies carry an odd nibble.
namespace op {
constexpr uint8_t kRead = 0, kWrite = 2, kLoad = 4, kLinkedWrite = 5;
}

// CRC-16 step with the reflected polynomial 0xA001, run over the frame's 16-bit little-endian
// words with as many shift steps per word as the frame has words. An odd last byte is not
// covered. Bytes 6 and 7 must be zero when this is called.
uint16_t packetChecksum(const uint8_t* frame, size_t length);

// Builds a frame into out (capacity at least payloadLength + 10) and returns its length, or 0
// when the payload does not fit a 128-byte frame. Bit 0 of byte 7 is always cleared.
size_t buildFrame(uint8_t* out, size_t capacity, uint8_t targetBlock, uint8_t operation,
                  uint8_t channel, uint8_t code, const uint8_t* payload, size_t payloadLength,
                  uint16_t tag);

// True when bytes 6 and 7 carry the checksum that buildFrame would have stored.
bool frameChecksumValid(const uint8_t* frame, size_t length);

inline uint16_t frameTag(const uint8_t* f) {
    return static_cast<uint16_t>(f[frame::kTagLow] | (f[frame::kTagHigh] << 8));
}
inline bool isReplyTarget(uint8_t targetByte) { return (targetByte & 0x01) != 0; }

// The instance tag shared by every frame of this run. Created on first use from a generator
// seeded with the time in seconds: the low 16 bits of the product of two draws modulo 65535.
// A zero product is drawn again on the next call. Thread-safe.
uint16_t instanceTag();
// Fixes the tag (0 forgets it so that the next call draws a new one); for tests and tools.
void setInstanceTag(uint16_t tag);

}  // namespace qel
