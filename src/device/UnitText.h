// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qel {

// Device and mode names travel as 20 bytes, each character lowered by 0x20.
constexpr size_t kUnitTextSize = 20;
// Passwords travel as 6 digit values 0..9.
constexpr size_t kPasswordSize = 6;

// Characters 0x20..0x7F become c - 0x20; everything else (control characters, bytes of
// 0x80 and above, the end of the text and what follows it) becomes 0.
std::array<uint8_t, kUnitTextSize> encodeUnitText(std::string_view text);
// Adds 0x20 to each of the first 20 bytes (so zero filler comes back as spaces) and cuts the
// text at a byte that becomes 0.
std::string decodeUnitText(const uint8_t* data, size_t length);
// The text as people see it: without the spaces that fill the unit's 20 bytes.
std::string unpaddedUnitText(std::string_view text);

// What the unit keeps of a UTF-8 name: the characters 0x20..0x7F. unitTextRefused gives the
// other characters, each once in their order (empty when the unit keeps the whole text);
// unitTextKept gives the text without them.
std::string unitTextRefused(std::string_view utf8);
std::string unitTextKept(std::string_view utf8);
// Bytes of the UTF-8 character that starts with lead; a stray byte counts as one character.
size_t utf8CharLength(unsigned char lead);

// Exactly six ASCII digits.
bool isValidPassword(std::string_view text);
// Each digit's value; anything that is not a digit, and missing characters, become 0.
std::array<uint8_t, kPasswordSize> encodePassword(std::string_view text);
// The six digit values as characters (each plus '0').
std::string decodePassword(const uint8_t* digits);

}  // namespace qel
