// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/TypedValue.h"

#include <charconv>
#include <cmath>
#include <string>

#include "device/FreqTable.h"

namespace qel {

double leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
    std::string number;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            number += static_cast<char>(c.unicode());
        } else if (c == u'.' && !point) {
            point = true;
            number += '.';
        } else {
            break;
        }
    }
    double value = 0;
    const char* end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr == number.data() || !std::isfinite(value)) return 0;
    return negative ? -value : value;
}

QString signedDbText(double db) {
    const double shown = std::round(db * 10.0) / 10.0;
    return QString::asprintf("%+.1f dB", shown == 0 ? 0.0 : db);
}

QString freqText(uint8_t code) {
    const double hz = FreqTable[code];
    return QString::asprintf(hz < 100 ? "%.1f Hz" : "%.0f Hz", hz);
}

}  // namespace qel
