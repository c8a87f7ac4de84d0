// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "FrameSplitter.h"

#include "link/Packet.h"

namespace qel::sim {

namespace {
constexpr size_t kNone = static_cast<size_t>(-1);
constexpr size_t kLengthOffset = frame::kLength;
}  // namespace

size_t FrameSplitter::findStart(size_t from) const {
    for (size_t i = from; i + 1 < buffer_.size(); ++i)
        if (buffer_[i] == 0xFF && buffer_[i + 1] == 0xFF) return i;
    return kNone;
}

// The frame length at a start, 0 when it is not known yet or cannot be a frame.
size_t FrameSplitter::frameLength(size_t start) const {
    if (start + kLengthOffset >= buffer_.size()) return 0;
    const size_t length = buffer_[start + kLengthOffset];
    return (length >= frame::kHeaderSize && length <= frame::kMaxSize) ? length : 0;
}

bool FrameSplitter::completeValidFrameAt(size_t start) const {
    const size_t length = frameLength(start);
    return length != 0 && start + length <= buffer_.size() &&
           frameChecksumValid(buffer_.data() + start, length);
}

void FrameSplitter::skipJunk() {
    size_t start = findStart(0);
    if (start == kNone)
        start = (!buffer_.empty() && buffer_.back() == 0xFF) ? buffer_.size() - 1 : buffer_.size();
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(start));
}

std::vector<Bytes> FrameSplitter::feed(const uint8_t* data, size_t length) {
    buffer_.insert(buffer_.end(), data, data + length);
    std::vector<Bytes> frames;
    for (;;) {
        skipJunk();
        if (buffer_.size() <= kLengthOffset) break;
        const size_t frameLen = frameLength(0);
        if (frameLen == 0) {  // FF FF followed by an impossible length
            buffer_.erase(buffer_.begin());
            continue;
        }
        if (frameLen <= buffer_.size()) {
            frames.emplace_back(buffer_.begin(), buffer_.begin() + static_cast<long>(frameLen));
            const bool valid = frameChecksumValid(buffer_.data(), frameLen);
            buffer_.erase(buffer_.begin(),
                          buffer_.begin() + static_cast<long>(valid ? frameLen : 1));
            continue;
        }
        // Incomplete: a complete good frame further on means this start was junk.
        size_t later = findStart(1);
        while (later != kNone && !completeValidFrameAt(later)) later = findStart(later + 1);
        if (later == kNone) break;
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(later));
    }
    return frames;
}

}  // namespace qel::sim
