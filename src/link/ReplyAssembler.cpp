// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "link/ReplyAssembler.h"

#include <cstring>

namespace qel {

size_t ReplyAssembler::feed(uint8_t byte) {
    buffer_[position_++] = byte;
    if (position_ >= frame::kMaxSize) {
        position_ = 0;
        return 0;
    }
    if (position_ >= frame::kHeaderSize && buffer_[frame::kLength] == position_ &&
        isReplyTarget(buffer_[frame::kTarget])) {
        buffer_[position_] = 0;
        return position_;
    }
    return 0;
}

void ReplyAssembler::clear() {
    std::memset(buffer_, 0, 32);
    position_ = 0;
}

}  // namespace qel
