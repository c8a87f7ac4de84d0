// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qel {

// One EQ point as the image keeps it: type, gain code, frequency code, Q code. On the wire a
// point travels as type, frequency code, gain code, Q code.
struct EqPoint {
    static constexpr size_t kSize = 4;

    uint8_t type = 0;
    uint8_t gain = 0;
    uint8_t freq = 0;
    uint8_t q = 0;

    std::array<uint8_t, kSize> toWire() const { return {type, freq, gain, q}; }
    // Reads the first four bytes of a wire point.
    static EqPoint fromWire(const uint8_t* wire) { return {wire[0], wire[2], wire[1], wire[3]}; }

    friend bool operator==(const EqPoint&, const EqPoint&) = default;
};

static_assert(sizeof(EqPoint) == EqPoint::kSize);
static_assert(offsetof(EqPoint, type) == 0 && offsetof(EqPoint, gain) == 1 &&
              offsetof(EqPoint, freq) == 2 && offsetof(EqPoint, q) == 3);

}  // namespace qel
