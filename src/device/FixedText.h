// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qel {

// Zero-terminated texts in fixed-size fields of the image and the mode files. Bytes are kept
// as they are (names may hold any code page).

// The text up to its terminator, at most maxLength bytes.
inline std::string readFixedText(const uint8_t* field, size_t maxLength) {
    const auto* begin = reinterpret_cast<const char*>(field);
    return std::string(begin, ::strnlen(begin, maxLength));
}

// Stores at most maxLength bytes of text (up to an embedded zero) and zero-fills the rest of
// the field; maxLength must be below fieldSize so that a terminator always follows.
inline void writeFixedText(uint8_t* field, size_t fieldSize, size_t maxLength,
                           std::string_view text) {
    const size_t n = std::min({text.find('\0'), text.size(), maxLength});
    std::memset(field, 0, fieldSize);
    if (n > 0) std::memcpy(field, text.data(), n);
}

}  // namespace qel
