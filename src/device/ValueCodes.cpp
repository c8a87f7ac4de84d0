// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ValueCodes.h"

#include <array>
#include <cmath>
#include <limits>

#include "device/FreqTable.h"

namespace qel {

namespace {

// Nearest whole number, limited to lo..hi; NaN gives lo.
long roundedInRange(double v, long lo, long hi) {
    if (std::isnan(v) || v <= static_cast<double>(lo)) return lo;
    if (v >= static_cast<double>(hi)) return hi;
    return std::lround(v);
}

double limited(double v, double lo, double hi) {
    if (std::isnan(v) || v < lo) return lo;
    return v > hi ? hi : v;
}

// Whole part plus the fraction rounded to fifths, halves away from zero. The scaled fraction
// of a half such as 3.3 lands a hair below .5 in binary, so it is first taken to 1e-9.
double roundToFifth(double v) {
    const double whole = std::trunc(v);
    const double fifths = std::round((v - whole) * 5.0 * 1e9) / 1e9;
    return whole + std::round(fifths) / 5.0;
}

// The small bias keeps values like 0.2 * n from truncating to n - 1.
uint8_t fifthsCode(double offsetValue, uint8_t maxCode) {
    const double steps = std::trunc((offsetValue + 0.02) / 0.2);
    return static_cast<uint8_t>(limited(steps, 0.0, static_cast<double>(maxCode)));
}

}  // namespace

double gainDb(uint8_t code) {
    return code * 0.5 - 50.0;
}
uint8_t gainCode(double db) {
    return static_cast<uint8_t>(roundedInRange((db + 50.0) / 0.5, 0, 255));
}

double limiterLevelDb(uint8_t code) {
    return code * 0.5 - 10.0;
}
uint8_t limiterLevelCode(double db) {
    return static_cast<uint8_t>(roundedInRange((db + 10.0) / 0.5, 0, 255));
}

double delayMs(uint16_t samples) {
    return samples / kSamplesPerMs;
}
uint16_t delaySamples(double ms) {
    return static_cast<uint16_t>(roundedInRange(ms * kSamplesPerMs, 0, 65535));
}

Quantized QuantizeEqGain(double db) {
    const double rounded = roundToFifth(limited(db, -24.0, 12.0));
    return {rounded, fifthsCode(rounded + 24.0, kEqGainCodeMax)};
}

Quantized QuantizeQ(double q) {
    const double rounded = roundToFifth(limited(q, 0.2, 36.0));
    return {rounded, fifthsCode(rounded - 0.2, kEqQCodeMax)};
}

Quantized QuantizeFreq(double hz) {
    size_t best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < FreqTable.size(); ++i) {
        const double distance = std::fabs(hz - static_cast<double>(FreqTable[i]));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return {static_cast<double>(FreqTable[best]), static_cast<uint8_t>(best)};
}

double eqGainDb(uint8_t code) {
    return (code > kEqGainCodeMax ? kEqGainCodeMax : code) * 0.2 - 24.0;
}
double eqQ(uint8_t code) {
    return (code > kEqQCodeMax ? kEqQCodeMax : code) * 0.2 + 0.2;
}

std::string_view crossoverTypeName(uint8_t type) {
    static constexpr std::array<std::string_view, kCrossoverTypeCount> kNames = {
        "BtWorth -12dB", "BtWorth -24dB",    "BtWorth -36dB",    "Bessel -12dB",     "Bessel -24dB",
        "Bessel -36dB",  "Lik-Riley  -12dB", "Lik-Riley  -24dB", "Lik-Riley  -36dB",
    };
    return kNames[clampCrossoverType(type)];
}

}  // namespace qel
