// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Request.h"

namespace qel::sim {

// Cuts a serial byte stream into frames: a frame starts with FF FF and is as long as its
// byte 4 says (10..128). Junk between frames is skipped. A frame whose checksum is wrong is
// still handed out (the unit counts it), and the search for the next start goes on from its
// second byte, so a junk FF FF that swallowed the head of a real frame does not lose it.
class FrameSplitter {
public:
    // Appends the bytes and returns the frames completed by them.
    std::vector<Bytes> feed(const uint8_t* data, size_t length);
    size_t pending() const { return buffer_.size(); }
    void clear() { buffer_.clear(); }

private:
    size_t findStart(size_t from) const;
    size_t frameLength(size_t start) const;
    bool completeValidFrameAt(size_t start) const;
    // Drops everything before the first plausible frame start.
    void skipJunk();

    Bytes buffer_;
};

}  // namespace qel::sim
