// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qel::sim {

// Names travel as 20 bytes, each character lowered by 0x20; characters outside 32..127 and
// the filler behind the text become 0.
void encodeWireText(const std::string& text, uint8_t* out, size_t size);
// The reverse: 0x20 added to every byte, cut at the first byte that becomes 0, trailing
// spaces (the filler) removed.
std::string decodeWireText(const uint8_t* wire, size_t size);

}  // namespace qel::sim
