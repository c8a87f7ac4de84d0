// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

namespace qel {

// A second-order digital filter b0 + b1 z^-1 + b2 z^-2 over a0 + a1 z^-1 + a2 z^-2, with the
// peaking, shelving and pass designs of the audio EQ cookbook, and first-order shelves. Used to
// weigh what rounding EQ points to the unit's codes costs; the EQ view's curve is a display shape,
// not this.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;

    static constexpr double kSampleRate = 48000.0;
    // The shelf Q when none is given (slope 1: no overshoot).
    static constexpr double kShelfQ = 0.70710678118654752;

    static Biquad peaking(double hz, double gainDb, double q, double rate = kSampleRate);
    static Biquad lowShelf(double hz, double gainDb, double q = kShelfQ, double rate = kSampleRate);
    static Biquad highShelf(double hz, double gainDb, double q = kShelfQ,
                            double rate = kSampleRate);
    // 6 dB per octave shelves with half their gain at hz (bilinear, pre-warped).
    static Biquad lowShelf1(double hz, double gainDb, double rate = kSampleRate);
    static Biquad highShelf1(double hz, double gainDb, double rate = kSampleRate);
    static Biquad highPass(double hz, double q = kShelfQ, double rate = kSampleRate);
    static Biquad lowPass(double hz, double q = kShelfQ, double rate = kSampleRate);

    // Gain in dB at a frequency below half the sampling rate.
    double gainDbAt(double hz, double rate = kSampleRate) const;
};

}  // namespace qel
