// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "eqresponse/EqPrototype.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace qel {

namespace {

constexpr double kTwoPi = 6.28318530716;

// cos(w) and cos(2w) at w = 2 pi k / 512, k = 0..256: the sampling grid of every design.
struct Grid {
    std::array<double, EqPrototype::kSlots + 1> cos1{}, cos2{};
    Grid() {
        for (size_t k = 0; k < cos1.size(); ++k) {
            const double w = kTwoPi * static_cast<double>(k) / 512.0;
            cos1[k] = std::cos(w);
            cos2[k] = std::cos(2 * w);
        }
    }
};

const Grid& grid() {
    static const Grid g;
    return g;
}

// |c0 + c1 e^-jw + c2 e^-2jw|^2 from cos(w) and cos(2w).
double power(double c0, double c1, double c2, double cos1, double cos2) {
    return c0 * c0 + c1 * c1 + c2 * c2 + 2 * (c0 * c1 + c1 * c2) * cos1 + 2 * c0 * c2 * cos2;
}

}  // namespace

EqPrototype::Biquad EqPrototype::peaking(double boostDb, double q) {
    const double a = std::pow(10.0, boostDb / 40.0);
    const double w0 = kTwoPi * 0.25;
    const double alpha = std::sin(w0) / (2 * q), c = std::cos(w0);
    return {1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a};
}

// Second-order Butterworth at a quarter of the sampling rate by the bilinear transform with
// pre-warping: analogue poles e^(+-j 3pi/4) scaled by 2 tan(pi/4) (for the high-pass the
// inverse poles, which are the same pair), z = (2 + s) / (2 - s). The two z poles are
// conjugates on the imaginary axis, so the denominator is 1 + |p|^2 z^-2. Gains are left
// unnormalised: the shape is normalised afterwards anyway.
EqPrototype::Biquad EqPrototype::shelf(bool high) {
    const double scale = 2 * std::tan(std::numbers::pi * 0.25);
    const double re = scale * std::cos(3 * std::numbers::pi / 4),
                 im = scale * std::sin(3 * std::numbers::pi / 4);
    // |z|^2 = |2 + s|^2 / |2 - s|^2
    const double p = ((2 + re) * (2 + re) + im * im) / ((2 - re) * (2 - re) + im * im);
    return {1, high ? -2.0 : 2.0, 1, 1, 0, p};
}

void EqPrototype::sample(const Biquad& f) {
    const Grid& g = grid();
    for (size_t k = 0; k < magnitude_.size(); ++k) {
        const double num = power(f.b0, f.b1, f.b2, g.cos1[k], g.cos2[k]);
        const double den = power(f.a0, f.a1, f.a2, g.cos1[k], g.cos2[k]);
        magnitude_[k] = std::sqrt(num / den);
    }
}

void EqPrototype::design(int type, float boostDb, double q, Slots& out) {
    out.fill(0);
    if (type < 0 || type > 2) return;
    sample(type == 0 ? peaking(boostDb, q) : shelf(type == 2));
    // Each slot takes the lower of its two neighbouring samples.
    double lo = 0, hi = 0;
    std::array<double, kSlots> slot{};
    for (size_t k = 0; k < slot.size(); ++k) {
        const double a = magnitude_[k], b = magnitude_[k + 1];
        slot[k] = std::fabs(a - b) < 1e-8 * b ? b : std::min(a, b);
        lo = k == 0 ? slot[k] : std::min(lo, slot[k]);
        hi = k == 0 ? slot[k] : std::max(hi, slot[k]);
    }
    // A flat response (a 0 dB peak) has no shape to normalise.
    if (!(hi > lo)) return;
    for (size_t k = 0; k < slot.size(); ++k)
        out[k] = static_cast<float>(-boostDb * (slot[k] - lo) / (hi - lo));
    if (type != 0) placeShelf(type == 1 ? kLowShelfStart : kHighShelfStart, out);
}

// Compresses the shelf into 98 steps and rebuilds the slots: the first step up to the start,
// the steps one per slot, then the shape's far end.
void EqPrototype::placeShelf(int start, Slots& v) const {
    std::array<float, kShelfSteps> c{};
    for (int m = 0; m < kShelfSteps; ++m)
        c[static_cast<size_t>(m)] = v[static_cast<size_t>(256 * m / kShelfSteps)];
    const float tail = v[kSlots - 1];
    int next = 0;
    for (int k = 0; k < kSlots; ++k) {
        float& s = v[static_cast<size_t>(k)];
        if (4 * k < start)
            s = c[0];
        else if (4 * k > start + 388)
            s = tail;
        else
            s = c[static_cast<size_t>(std::min(next++, kShelfSteps - 1))];
    }
}

}  // namespace qel
