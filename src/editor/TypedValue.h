// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <cstdint>

namespace qel {

// The unit a value box shows its value in, and so the unit a person may type after a number.
enum class ValueUnit { Decibel, Hertz, Millisecond, Metre, Foot, None };

// A number typed into a value box: one optional sign, digits with "." or "," as the decimal
// point, "k"/"K" for thousands in hertz boxes ("2k", "2.5 kHz"), then optionally the box's unit
// ("-3 dB", "1000 Hz", "2.5 ms", "3 mt", "10 ft"), in any case, with or without a blank.
// Anything else is refused, never read as some other number.
struct TypedValue {
    enum class Problem { None, Empty, NotANumber, OtherUnit };
    double value = 0;
    Problem problem = Problem::None;
    bool ok() const { return problem == Problem::None; }
};
TypedValue readTypedValue(const QString& text, ValueUnit unit);

// Why a typed text was refused, in the window's language; shown is what the unit keeps.
QString refusalText(const QString& typed, const TypedValue& reading, ValueUnit unit,
                    const QString& shown);
// "+20 → +12.0 dB, the most this unit takes" when typed lies outside lo..hi, else empty.
QString limitText(const QString& typed, double value, double lo, double hi, const QString& shown);

// "%+.1f dB"; a value that rounds to zero shows as "+0.0 dB", never "-0.0 dB".
QString signedDbText(double db);

// A frequency code's table value as the boxes show it: tenths below 100 Hz, where the table has
// them, whole hertz from there up ("62.8 Hz", "21513 Hz"), so that every value fits a box.
QString freqText(uint8_t code);

}  // namespace qel
