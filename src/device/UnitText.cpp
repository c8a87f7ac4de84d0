// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitText.h"

#include <algorithm>

namespace qel {

std::array<uint8_t, kUnitTextSize> encodeUnitText(std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    std::array<uint8_t, kUnitTextSize> out{};
    for (size_t i = 0; i < out.size() && i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        out[i] = (c >= 0x20 && c <= 0x7F) ? static_cast<uint8_t>(c - 0x20) : 0;
    }
    return out;
}

std::string decodeUnitText(const uint8_t* data, size_t length) {
    std::string text;
    for (size_t i = 0; i < std::min(length, kUnitTextSize); ++i) {
        const auto c = static_cast<char>(static_cast<uint8_t>(data[i] + 0x20));
        if (c == '\0') break;
        text.push_back(c);
    }
    return text;
}

std::string unpaddedUnitText(std::string_view text) {
    const size_t end = text.find_last_not_of(' ');
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

namespace {

bool unitKeeps(unsigned char c) {
    return c >= 0x20 && c <= 0x7F;
}

// Calls f with each character of the text (by its UTF-8 bytes).
template <typename F>
void forEachCharacter(std::string_view utf8, F f) {
    for (size_t i = 0; i < utf8.size();) {
        const size_t n =
            std::min(utf8CharLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        f(utf8.substr(i, n));
        i += n;
    }
}

}  // namespace

size_t utf8CharLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

std::string unitTextRefused(std::string_view utf8) {
    std::string refused;
    forEachCharacter(utf8, [&](std::string_view c) {
        if (!unitKeeps(static_cast<unsigned char>(c[0])) && refused.find(c) == std::string::npos)
            refused += c;
    });
    return refused;
}

std::string unitTextKept(std::string_view utf8) {
    std::string kept;
    for (char c : utf8)
        if (unitKeeps(static_cast<unsigned char>(c))) kept += c;
    return kept;
}

bool isValidPassword(std::string_view text) {
    return text.size() == kPasswordSize &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::array<uint8_t, kPasswordSize> encodePassword(std::string_view text) {
    std::array<uint8_t, kPasswordSize> out{};
    for (size_t i = 0; i < out.size() && i < text.size(); ++i)
        out[i] = (text[i] >= '0' && text[i] <= '9') ? static_cast<uint8_t>(text[i] - '0') : 0;
    return out;
}

std::string decodePassword(const uint8_t* digits) {
    std::string text(kPasswordSize, '0');
    for (size_t i = 0; i < kPasswordSize; ++i)
        text[i] = static_cast<char>(static_cast<uint8_t>(digits[i] + '0'));
    return text;
}

}  // namespace qel
