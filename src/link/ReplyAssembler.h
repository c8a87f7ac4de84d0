// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/Packet.h"

namespace qel {

// Recognises reply frames in a byte stream: bytes go into a 128-byte buffer; a reply is
// complete when at least 10 bytes are collected, byte 4 equals the count and byte 5 has an
// odd low nibble. Start bytes and checksum are not checked. After 128 bytes without a reply
// the buffer starts again at 0. The position is not reset after a reply.
class ReplyAssembler {
public:
    // Appends one byte; returns the reply length when it completes a reply, else 0.
    size_t feed(uint8_t byte);
    // Clears the first 32 bytes and sets the position to 0.
    void clear();
    const uint8_t* data() const { return buffer_; }
    size_t position() const { return position_; }

private:
    uint8_t buffer_[frame::kMaxSize + 1] = {};
    size_t position_ = 0;
};

}  // namespace qel
