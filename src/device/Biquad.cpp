// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/Biquad.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace qel {

namespace {

struct Terms {
    double a, w0, cosW0, alpha;
};

Terms terms(double hz, double gainDb, double q, double rate) {
    const double w0 = 2 * std::numbers::pi * hz / rate;
    return {std::pow(10.0, gainDb / 40), w0, std::cos(w0), std::sin(w0) / (2 * q)};
}

}  // namespace

Biquad Biquad::peaking(double hz, double gainDb, double q, double rate) {
    const auto [a, w0, c, alpha] = terms(hz, gainDb, q, rate);
    return {1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a};
}

Biquad Biquad::lowShelf(double hz, double gainDb, double q, double rate) {
    const auto [a, w0, c, alpha] = terms(hz, gainDb, q, rate);
    const double s = 2 * std::sqrt(a) * alpha;
    return {a * ((a + 1) - (a - 1) * c + s), 2 * a * ((a - 1) - (a + 1) * c),
            a * ((a + 1) - (a - 1) * c - s), (a + 1) + (a - 1) * c + s,
            -2 * ((a - 1) + (a + 1) * c),    (a + 1) + (a - 1) * c - s};
}

Biquad Biquad::highShelf(double hz, double gainDb, double q, double rate) {
    const auto [a, w0, c, alpha] = terms(hz, gainDb, q, rate);
    const double s = 2 * std::sqrt(a) * alpha;
    return {a * ((a + 1) + (a - 1) * c + s), -2 * a * ((a - 1) + (a + 1) * c),
            a * ((a + 1) + (a - 1) * c - s), (a + 1) - (a - 1) * c + s,
            2 * ((a - 1) - (a + 1) * c),     (a + 1) - (a - 1) * c - s};
}

Biquad Biquad::lowShelf1(double hz, double gainDb, double rate) {
    // s + wc·g over s + wc/g with g the square root of the gain: the gain at 0, half of it
    // (in dB) at wc.
    const double k = 1 / std::tan(std::numbers::pi * hz / rate), g = std::pow(10.0, gainDb / 40);
    return {k + g, g - k, 0, k + 1 / g, 1 / g - k, 0};
}

Biquad Biquad::highShelf1(double hz, double gainDb, double rate) {
    // The low shelf of the opposite gain, raised by the gain.
    const double k = 1 / std::tan(std::numbers::pi * hz / rate), g = std::pow(10.0, gainDb / 40);
    return {g * g * (k + 1 / g), g * g * (1 / g - k), 0, k + g, g - k, 0};
}

Biquad Biquad::highPass(double hz, double q, double rate) {
    const auto [a, w0, c, alpha] = terms(hz, 0, q, rate);
    return {(1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha};
}

Biquad Biquad::lowPass(double hz, double q, double rate) {
    const auto [a, w0, c, alpha] = terms(hz, 0, q, rate);
    return {(1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha};
}

double Biquad::gainDbAt(double hz, double rate) const {
    const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * hz / rate);
    const std::complex<double> z2 = z1 * z1;
    const double magnitude = std::abs((b0 + b1 * z1 + b2 * z2) / (a0 + a1 * z1 + a2 * z2));
    return 20 * std::log10(magnitude);
}

}  // namespace qel
