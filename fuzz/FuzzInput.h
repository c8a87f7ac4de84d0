// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace qel::fuzz {

// Reads a fuzzer's input front to back; past its end every read gives zeros or nothing.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Up to n bytes; returns how many were taken.
    size_t take(size_t n, const uint8_t** out) {
        const size_t k = std::min(n, size_ - std::min(at_, size_));
        *out = data_ + at_;
        at_ += k;
        return k;
    }
    // A chunk: one length byte (masked), then that many bytes or what is left.
    size_t chunk(uint8_t lengthMask, const uint8_t** out, uint8_t* header = nullptr) {
        const uint8_t h = byte();
        if (header) *header = h;
        return take(h & lengthMask, out);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace qel::fuzz
