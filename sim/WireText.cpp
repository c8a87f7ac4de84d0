// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "WireText.h"

namespace qel::sim {

void encodeWireText(const std::string& text, uint8_t* out, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        const auto c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
        out[i] = (c >= 32 && c <= 127) ? static_cast<uint8_t>(c - 32) : 0;
    }
}

std::string decodeWireText(const uint8_t* wire, size_t size) {
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        const auto c = static_cast<uint8_t>(wire[i] + 32);
        if (c == 0) break;
        text.push_back(static_cast<char>(c));
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace qel::sim
