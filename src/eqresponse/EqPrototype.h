// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>

namespace qel {

// The display shape of one EQ point before it is placed on the grid: a second-order prototype
// designed at a quarter of the sampling rate, its magnitude sampled at 257 frequencies from 0
// to half the sampling rate, taken pairwise into 256 slots, normalised to 0..-gain (a boost
// points upwards, towards negative pixel offsets) and, for the shelves, compressed and moved
// so that the shelf's knee sits where the point's frequency will be. Reuses its own buffers:
// no allocation per design. One thread per instance.
class EqPrototype {
public:
    static constexpr int kSlots = 256;
    using Slots = std::array<float, kSlots>;

    // type 0 peaking (uses q), 1 low shelf, 2 high shelf; boostDb >= 0. Other types, and a
    // shape that does not vary (0 dB), give all zeros.
    void design(int type, float boostDb, double q, Slots& out);

    // Slot start constants of the shelf placement.
    static constexpr int kLowShelfStart = 279, kHighShelfStart = 344;
    static constexpr int kShelfSteps = 98;  // slots a shelf is compressed into

private:
    struct Biquad {
        double b0, b1, b2, a0, a1, a2;
    };
    static Biquad peaking(double boostDb, double q);
    static Biquad shelf(bool high);
    void sample(const Biquad& f);
    void placeShelf(int start, Slots& v) const;

    std::array<double, kSlots + 1> magnitude_{};
};

}  // namespace qel
