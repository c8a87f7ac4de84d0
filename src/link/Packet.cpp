// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "link/Packet.h"

#include <cstring>
#include <ctime>
#include <mutex>
#include <random>

namespace qel {

uint16_t packetChecksum(const uint8_t* f, size_t length) {
    const size_t words = length / 2;
    uint16_t crc = 0;
    for (size_t i = 0; i < words; ++i) {
        crc ^= static_cast<uint16_t>(f[2 * i] | (f[2 * i + 1] << 8));
        for (size_t step = 0; step < words; ++step)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

size_t buildFrame(uint8_t* out, size_t capacity, uint8_t targetBlock, uint8_t operation,
                  uint8_t channel, uint8_t code, const uint8_t* payload, size_t payloadLength,
                  uint16_t tag) {
    const size_t length = payloadLength + frame::kHeaderSize;
    if (payloadLength > frame::kMaxPayload || capacity < length) return 0;
    out[frame::kStart1] = 0xFF;
    out[frame::kStart2] = 0xFF;
    out[frame::kTagLow] = static_cast<uint8_t>(tag & 0xFF);
    out[frame::kTagHigh] = static_cast<uint8_t>(tag >> 8);
    out[frame::kLength] = static_cast<uint8_t>(length);
    out[frame::kTarget] = static_cast<uint8_t>((targetBlock << 4) | (operation & 0x0F));
    out[frame::kChecksumLow] = 0;
    out[frame::kChecksumHigh] = 0;
    out[frame::kChannel] = channel;
    out[frame::kCode] = code;
    if (payloadLength) std::memcpy(out + frame::kPayload, payload, payloadLength);
    const uint16_t crc = packetChecksum(out, length);
    out[frame::kChecksumLow] = static_cast<uint8_t>(crc & 0xFF);
    out[frame::kChecksumHigh] = static_cast<uint8_t>((crc >> 8) & 0xFE);
    return length;
}

bool frameChecksumValid(const uint8_t* f, size_t length) {
    if (length < frame::kHeaderSize || length > frame::kMaxSize) return false;
    uint8_t copy[frame::kMaxSize];
    std::memcpy(copy, f, length);
    copy[frame::kChecksumLow] = copy[frame::kChecksumHigh] = 0;
    const uint16_t crc = packetChecksum(copy, length);
    return f[frame::kChecksumLow] == (crc & 0xFF) && f[frame::kChecksumHigh] == ((crc >> 8) & 0xFE);
}

namespace {
std::mutex gTagMutex;  // guards gTagProduct and the generator
uint32_t gTagProduct = 0;
}  // namespace

uint16_t instanceTag() {
    std::lock_guard lock(gTagMutex);
    if (gTagProduct == 0) {
        std::minstd_rand gen(static_cast<std::minstd_rand::result_type>(std::time(nullptr)));
        const uint32_t a = gen() % 65535;
        const uint32_t b = gen() % 65535;
        gTagProduct = a * b;
    }
    return static_cast<uint16_t>(gTagProduct & 0xFFFF);
}

void setInstanceTag(uint16_t tag) {
    std::lock_guard lock(gTagMutex);
    gTagProduct = tag;
}

}  // namespace qel
