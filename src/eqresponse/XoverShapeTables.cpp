// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "eqresponse/XoverShapeTables.h"

#include <cmath>
#include <cstddef>

namespace qel {

namespace {

// Measured attenuation (pixels below the 0 dB line) of each type at these indices; the shapes
// run through them exactly. Index 0..48 is flat at 0 for every type.
constexpr int kKnotIndex[] = {0,   48,  64,  80,  96,  104, 112, 120, 128, 136, 144,
                              151, 160, 168, 176, 184, 192, 200, 208, 224, 240, 255};
constexpr size_t kKnots = std::size(kKnotIndex);

// One row per type: "BtWorth" -12/-24/-36 dB, "Bessel" -12/-24/-36, "Lik-Riley" -12/-24/-36.
constexpr float kKnotValue[kXoverShapeCount][kKnots] = {
    {0,     0,     0,     0,      0,      0,      0,      0.7f,   2.7f,   6.5f,   13.5f,
     24.4f, 47.6f, 72.7f, 101.5f, 132.4f, 163.4f, 194.4f, 224.7f, 286.9f, 348.6f, 406.1f},
    {0,     0,     0,      0,      0,      0,      0,      0.2f,   1.3f, 4.1f, 10.3f,
     25.5f, 77.1f, 136.7f, 203.5f, 266.3f, 328.6f, 390.6f, 452.5f, 556,  556,  556},
    {0,     0,     0,      0,   0,      0,      0,   0.5f, 2.2f, 5.5f, 11.7f,
     26.6f, 89.1f, 191.5f, 309, 426.6f, 544.2f, 615, 615,  615,  615,  615},
    {0,     0,     0,     0.3f,   2.2f,   3.7f,   5.7f,   8.2f,   11.6f,  16.0f,  22.5f,
     32.2f, 54.2f, 79.0f, 106.9f, 137.3f, 169.6f, 204.8f, 240.3f, 311.7f, 382.6f, 449.6f},
    {0,     0,     0,      0,      0,      0.1f,   0.5f,   1.6f,   3.9f, 8.4f, 17.2f,
     31.6f, 75.3f, 135.0f, 212.3f, 296.5f, 380.7f, 464.8f, 548.9f, 610,  610,  610},
    {0,     0,     0,      0,      0,      0.2f,   1.1f,   2.9f, 5.8f, 10.4f, 18.0f,
     33.6f, 92.4f, 179.1f, 285.9f, 392.8f, 499.7f, 599.1f, 602,  602,  602,   602},
    {0,     0,     0.2f,  1.9f,   5.7f,   8.4f,   11.9f,  16.2f,  21.5f,  28.1f,  36.6f,
     46.4f, 63.6f, 83.5f, 107.9f, 137.1f, 172.7f, 211.7f, 250.6f, 327.9f, 405.5f, 478.6f},
    {0,     0,     0,      0,      0,      0.4f,   2.2f,   5.5f, 10.9f, 19.0f, 31.1f,
     47.7f, 84.6f, 137.5f, 224.0f, 322.6f, 420.9f, 519.5f, 536,  536,   536,   536},
    {0,     0,      0,      0,      0,      0.5f,   1.8f,   4.3f, 8.6f, 15.8f, 28.4f,
     50.2f, 108.3f, 190.5f, 281.0f, 371.6f, 462.1f, 552.5f, 603,  603,  603,   603},
};

// Where the steeper shapes reach their ceiling (-1: the shape rises to its end).
constexpr int kCeilingIndex[kXoverShapeCount] = {-1, 223, 198, -1, 215, 201, -1, 203, 206};

struct Knot {
    double x, y;
};

// A monotone cubic through the knots (Fritsch-Carlson slopes): it never overshoots, so it
// stays flat between equal knots and never falls.
void interpolate(const Knot* k, size_t n, XoverShape& out) {
    double slope[kKnots + 1] = {};
    double delta[kKnots + 1] = {};
    for (size_t i = 0; i + 1 < n; ++i) delta[i] = (k[i + 1].y - k[i].y) / (k[i + 1].x - k[i].x);
    slope[0] = delta[0];
    slope[n - 1] = delta[n - 2];
    for (size_t i = 1; i + 1 < n; ++i) {
        if (delta[i - 1] * delta[i] <= 0) continue;
        const double h0 = k[i].x - k[i - 1].x, h1 = k[i + 1].x - k[i].x;
        slope[i] = 3 * (h0 + h1) / ((2 * h1 + h0) / delta[i - 1] + (h1 + 2 * h0) / delta[i]);
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        const double h = k[i + 1].x - k[i].x;
        for (int x = static_cast<int>(k[i].x); x < static_cast<int>(k[i + 1].x); ++x) {
            const double t = (x - k[i].x) / h, t2 = t * t, t3 = t2 * t;
            const double y = (2 * t3 - 3 * t2 + 1) * k[i].y + (t3 - 2 * t2 + t) * h * slope[i] +
                             (-2 * t3 + 3 * t2) * k[i + 1].y + (t3 - t2) * h * slope[i + 1];
            out[static_cast<size_t>(x)] = static_cast<float>(y);
        }
    }
}

XoverShape build(int type) {
    const auto& value = kKnotValue[type];
    const int ceiling = kCeilingIndex[type];
    Knot knots[kKnots + 1];
    size_t n = 0;
    for (size_t i = 0; i < kKnots; ++i) {
        if (ceiling > 0 && kKnotIndex[i] > ceiling && (i == 0 || kKnotIndex[i - 1] < ceiling))
            knots[n++] = {static_cast<double>(ceiling), value[kKnots - 1]};
        knots[n++] = {static_cast<double>(kKnotIndex[i]), value[i]};
    }
    XoverShape shape{};
    interpolate(knots, n, shape);
    // The knots themselves exactly, as the single-precision values above.
    for (size_t i = 0; i < kKnots; ++i) shape[static_cast<size_t>(kKnotIndex[i])] = value[i];
    if (ceiling > 0)
        for (int i = ceiling; i < 256; ++i) shape[static_cast<size_t>(i)] = value[kKnots - 1];
    return shape;
}

}  // namespace

const std::array<XoverShape, kXoverShapeCount>& XoverShapeTables() {
    static const std::array<XoverShape, kXoverShapeCount> tables = [] {
        std::array<XoverShape, kXoverShapeCount> t{};
        for (int type = 0; type < kXoverShapeCount; ++type)
            t[static_cast<size_t>(type)] = build(type);
        return t;
    }();
    return tables;
}

}  // namespace qel
