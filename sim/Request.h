// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/Packet.h"

namespace qel::sim {

using Bytes = std::vector<uint8_t>;

// The fields of one request frame as the unit sees them.
struct Request {
    uint8_t block = 0;
    uint8_t op = 0;
    uint8_t channel = 0;
    uint8_t code = 0;
    const uint8_t* payload = nullptr;
    size_t size = 0;

    // A frame of at least the 10 header bytes.
    static Request fromFrame(const uint8_t* f, size_t length) {
        Request r;
        r.block = static_cast<uint8_t>(f[frame::kTarget] >> 4);
        r.op = static_cast<uint8_t>(f[frame::kTarget] & 0x0F);
        r.channel = f[frame::kChannel];
        r.code = f[frame::kCode];
        r.payload = f + frame::kPayload;
        r.size = length - frame::kHeaderSize;
        return r;
    }

    // Payload byte i, 0 when the payload is shorter.
    uint8_t at(size_t i) const { return i < size ? payload[i] : 0; }
    Bytes echo() const { return Bytes(payload, payload + size); }
};

}  // namespace qel::sim
