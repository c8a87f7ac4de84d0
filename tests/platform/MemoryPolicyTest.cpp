// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>

#include "platform/MemoryPolicy.h"

namespace qel {
namespace {

// A block as large as a window picture, made after a larger one was freed, is still mapped on
// its own (so it goes back to the system when freed) instead of coming from the heap.
TEST(MemoryPolicy, LargeBlocksStayMappedAfterALargerOneWasFreed) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers bring an allocator of their own";
#endif
    returnLargeBlocksWhenFreed();
    auto* earlier = static_cast<volatile char*>(std::malloc(4 << 20));
    ASSERT_NE(earlier, nullptr);
    earlier[0] = 1;
    std::free(const_cast<char*>(earlier));
    const size_t before = mallinfo2().hblkhd;
    auto* picture = static_cast<volatile char*>(std::malloc(2 << 20));
    ASSERT_NE(picture, nullptr);
    picture[0] = 1;
    const size_t mapped = mallinfo2().hblkhd - before;
    std::free(const_cast<char*>(picture));
    EXPECT_GE(mapped, size_t{2} << 20);
}

}  // namespace
}  // namespace qel
