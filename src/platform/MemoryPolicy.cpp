// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/MemoryPolicy.h"

#include <malloc.h>

namespace qel {

void returnLargeBlocksWhenFreed() {
    // Setting the bound also ends glibc's raising of it.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargeBlockBytes));
}

}  // namespace qel
