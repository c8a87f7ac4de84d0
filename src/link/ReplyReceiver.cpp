// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "link/ReplyReceiver.h"

#include "link/CommandQueue.h"

namespace qel {

int ReplyReceiver::take(CommandQueue& queue, const uint8_t* bytes, size_t count, bool datagram) {
    const size_t head = queue.headIndex();
    if (head != notedHead_ || datagram) {
        notedHead_ = head;
        assembler_.clear();
    }
    int taken = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t length = assembler_.feed(bytes[i]);
        if (!length) continue;
        taken += queue.deliverReply(assembler_.data(), length) ? 1 : 0;
        assembler_.clear();
    }
    return taken;
}

void ReplyReceiver::reset() {
    assembler_.clear();
    notedHead_ = kNoHead;
}

}  // namespace qel
