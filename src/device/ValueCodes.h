// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <string_view>

namespace qel {

// Channel gain: dB = code * 0.5 - 50; a unit holds codes 0..124 (-50..+12 dB).
constexpr uint8_t kGainCodeMax = 124;
double gainDb(uint8_t code);
// Nearest gain code for a level in dB, limited to 0..255.
uint8_t gainCode(double db);

// Limiter level: dB = code * 0.5 - 10.
double limiterLevelDb(uint8_t code);
uint8_t limiterLevelCode(double db);

// Delay travels as samples at 48 kHz.
constexpr double kSamplesPerMs = 48.0;
constexpr uint16_t kDelaySamplesMax = 32736;  // 682 ms, the most a unit holds
double delayMs(uint16_t samples);
// Nearest sample count for a delay in ms, limited to 0..65535.
uint16_t delaySamples(double ms);

// A value rounded to what the unit can hold, and the code that holds it.
struct Quantized {
    double value = 0;
    uint8_t code = 0;
};

// EQ point gain: limited to -24..+12 dB, rounded to 0.2 dB; code = (dB + 24) / 0.2, 0..180,
// code 120 is 0 dB. NaN counts as the lower limit.
Quantized QuantizeEqGain(double db);
// EQ point Q: limited to 0.2..36, rounded to 0.2; code = (Q - 0.2) / 0.2, 0..179, code 4 is
// Q 1.0. NaN counts as the lower limit.
Quantized QuantizeQ(double q);
// Frequency: the nearest FreqTable entry, the lower code on a tie. NaN gives code 0.
Quantized QuantizeFreq(double hz);

// The dB and Q that a code stands for (codes past the top are limited to it).
double eqGainDb(uint8_t code);
double eqQ(uint8_t code);
constexpr uint8_t kEqGainCodeZeroDb = 120, kEqGainCodeMax = 180, kEqQCodeMax = 179;

// EQ point types. Only Peaking uses its Q code.
enum class EqType : uint8_t { Peaking = 0, LowShelf = 1, HighShelf = 2 };

// Crossover (high-pass and low-pass) types 0..8.
constexpr uint8_t kCrossoverTypeCount = 9, kCrossoverTypeMax = 8;
// "BtWorth -12dB" ... "Lik-Riley  -36dB"; codes above 8 name type 8.
std::string_view crossoverTypeName(uint8_t type);
// A type read from a unit above 8 is stored as 8.
constexpr uint8_t clampCrossoverType(uint8_t type) {
    return type > kCrossoverTypeMax ? kCrossoverTypeMax : type;
}
// Limiter attack and release times in milliseconds, by list index.
inline constexpr int kLimiterAttackMs[] = {1, 2, 5, 10, 20, 30, 40, 50, 60, 70, 80, 90};
inline constexpr int kLimiterReleaseMs[] = {10, 20, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};

// Filter-off frequency codes.
constexpr uint8_t kHighPassOffCode = 0, kLowPassOffCode = 255;

}  // namespace qel
