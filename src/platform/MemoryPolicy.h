// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>

namespace qel {

// Blocks from kLargeBlockBytes up (window pictures, images) are mapped on their own, so that
// freeing one gives its memory back to the system. Left alone, glibc raises that bound to the
// size of each large block freed, after which blocks up to that size come from the heap, and
// a closed window's picture then stays with the process. Once, at start; any thread.
inline constexpr size_t kLargeBlockBytes = 128 * 1024;
void returnLargeBlocksWhenFreed();

}  // namespace qel
