// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <cstdint>

namespace qel {

// The decimal number a typed text starts with, after blanks and one optional sign:
// "10.5 ms" reads 10.5, ".5" reads 0.5. A text that does not start with a number reads 0.
// The C locale's decimal point is not used: "." is the point whatever the user's locale.
double leadingNumber(const QString& text);

// "%+.1f dB"; a value that rounds to zero shows as "+0.0 dB", never "-0.0 dB".
QString signedDbText(double db);

// A frequency code's table value as the boxes show it: tenths below 100 Hz, where the table has
// them, whole hertz from there up ("62.8 Hz", "21513 Hz"), so that every value fits a box.
QString freqText(uint8_t code);

}  // namespace qel
