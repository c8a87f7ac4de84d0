// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qel {

// Names in the PC mode files are held in the code page of a Chinese Windows (GBK), so that
// the files move between this program and the Windows one in both directions.

// A UTF-8 text turned into GBK for a field of maxBytes.
struct GbkName {
    std::string bytes;       // GBK, at most maxBytes, cut between characters
    bool shortened = false;  // characters past maxBytes were left out
    std::string missing;     // UTF-8: the characters GBK has no code for, each once
    bool ok() const { return missing.empty(); }
};

// The text up to an embedded zero. When a character has no GBK code, bytes stays empty and
// missing names it.
GbkName encodeGbk(std::string_view utf8, size_t maxBytes);

// GBK bytes as UTF-8. Lenient: a byte sequence GBK does not define shows as U+FFFD and valid
// (when given) becomes false.
std::string decodeGbk(std::string_view bytes, bool* valid = nullptr);

}  // namespace qel
