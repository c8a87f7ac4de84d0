// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/ReplyAssembler.h"

namespace qel {

class CommandQueue;

// The receive thread's half of matching: bytes from the unit go through reply recognition
// and each complete reply is offered to the queue's head slot. A new head starts a new
// assembly, and so does each datagram (one whole frame each). After a reply the next frame
// starts at the beginning of the buffer again, so a stray or repeated reply cannot shift the
// frames behind it; a reply that the head slot does not take is passed over. One thread only.
class ReplyReceiver {
public:
    // Returns how many replies the head slot took.
    int take(CommandQueue& queue, const uint8_t* bytes, size_t count, bool datagram);
    void reset();

private:
    static constexpr size_t kNoHead = static_cast<size_t>(-1);
    ReplyAssembler assembler_;
    size_t notedHead_ = kNoHead;
};

}  // namespace qel
