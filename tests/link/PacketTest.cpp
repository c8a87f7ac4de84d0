// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <vector>

#include "link/Packet.h"
#include "link/ReplyAssembler.h"

namespace qel {
namespace {

std::vector<uint8_t> build(uint8_t blk, uint8_t operation, uint8_t channel, uint8_t code,
                           std::vector<uint8_t> payload, uint16_t tag) {
    std::vector<uint8_t> f(frame::kMaxSize);
    const size_t n = buildFrame(f.data(), f.size(), blk, operation, channel, code,
                                payload.data(), payload.size(), tag);
    f.resize(n);
    return f;
}

TEST(PacketTest, WorkedExamplesAreByteExact) {
    // Unit-wide read of code 2: checksum 0x0F39, bit 0 of byte 7 cleared.
    EXPECT_EQ(build(block::kUnit, op::kRead, 0, 0x02, {0, 0}, 0x1234),
              (std::vector<uint8_t>{0xFF, 0xFF, 0x34, 0x12, 0x0C, 0x00, 0x39, 0x0E, 0x00, 0x02,
                                    0x00, 0x00}));
    // Gain code 0x64 written to output 1.
    EXPECT_EQ(build(block::kOutput, op::kWrite, 1, 0x01, {0x64, 0x00}, 0x1234),
              (std::vector<uint8_t>{0xFF, 0xFF, 0x34, 0x12, 0x0C, 0x22, 0x2D, 0x16, 0x01, 0x01,
                                    0x64, 0x00}));
    uint8_t zeroed[12] = {0xFF, 0xFF, 0x34, 0x12, 0x0C, 0x00, 0, 0, 0x00, 0x02, 0x00, 0x00};
    EXPECT_EQ(packetChecksum(zeroed, 12), 0x0F39);
}

TEST(PacketTest, OddLengthLeavesLastByteOutAndStepsFollowWordCount) {
    auto a = build(block::kOutput, op::kWrite, 3, 0x07, {1, 2, 3}, 0xBEEF);
    auto b = build(block::kOutput, op::kWrite, 3, 0x07, {1, 2, 0x99}, 0xBEEF);
    ASSERT_EQ(a.size(), 13u);
    EXPECT_EQ(a[6], b[6]);
    EXPECT_EQ(a[7], b[7]);
    // The 13-byte frame is covered by 6 words with 6 steps each, like its first 12 bytes.
    uint8_t first12[12];
    std::copy(a.begin(), a.begin() + 12, first12);
    first12[6] = first12[7] = 0;
    EXPECT_EQ(a[6], packetChecksum(first12, 12) & 0xFF);
    // A 14-byte frame takes 7 steps per word: its checksum differs from the 6-step one.
    auto c = build(block::kOutput, op::kWrite, 3, 0x07, {1, 2, 3, 0}, 0xBEEF);
    EXPECT_TRUE(c[6] != a[6] || c[7] != a[7]);
    EXPECT_TRUE(frameChecksumValid(a.data(), a.size()));
    a[10] ^= 1;
    EXPECT_FALSE(frameChecksumValid(a.data(), a.size()));
}

TEST(PacketTest, Byte7BitZeroIsAlwaysClear) {
    int highBitSet = 0;
    for (int v = 0; v < 4096; ++v) {
        auto f = build(block::kInput, op::kWrite, static_cast<uint8_t>(v % 5),
                       static_cast<uint8_t>(v >> 4), {static_cast<uint8_t>(v), 0}, 0x5A5A);
        EXPECT_EQ(f[7] & 1, 0);
        f[6] = f[7] = 0;
        highBitSet += (packetChecksum(f.data(), f.size()) >> 8) & 1;
    }
    EXPECT_GT(highBitSet, 0);  // the mask really had work to do
}

TEST(PacketTest, PayloadLimits) {
    std::vector<uint8_t> out(frame::kMaxSize);
    std::vector<uint8_t> big(119, 1);
    EXPECT_EQ(buildFrame(out.data(), out.size(), 0, 2, 0, 1, big.data(), 118, 1), 128u);
    EXPECT_EQ(buildFrame(out.data(), out.size(), 0, 2, 0, 1, big.data(), 119, 1), 0u);
    EXPECT_EQ(buildFrame(out.data(), 11, 0, 2, 0, 1, big.data(), 2, 1), 0u);
}

TEST(PacketTest, InstanceTagIsStableAndRedrawnAfterReset) {
    setInstanceTag(0);
    const uint16_t first = instanceTag();
    EXPECT_EQ(instanceTag(), first);
    setInstanceTag(0x4321);
    EXPECT_EQ(instanceTag(), 0x4321);
    setInstanceTag(0);
}

size_t feedAll(ReplyAssembler& a, const std::vector<uint8_t>& bytes) {
    size_t found = 0;
    for (uint8_t b : bytes)
        if (size_t n = a.feed(b)) found = n;
    return found;
}

TEST(ReplyAssemblerTest, RecognisesRepliesNotEchoes) {
    auto request = build(block::kUnit, op::kRead, 0, 0x03, {0, 0}, 0x1111);
    ReplyAssembler a;
    EXPECT_EQ(feedAll(a, request), 0u);  // an echo of a request has an even nibble
    a.clear();
    auto reply = request;
    reply[5] |= 1;
    EXPECT_EQ(feedAll(a, reply), 12u);
    EXPECT_EQ(a.data()[12], 0);  // terminated behind the reply
    EXPECT_EQ(a.position(), 12u);  // not reset after a reply
}

TEST(ReplyAssemblerTest, StrayBytesAheadHideTheReply) {
    auto reply = build(block::kUnit, op::kRead, 0, 0x03, {4, 0}, 0x1111);
    reply[5] |= 1;
    std::vector<uint8_t> stream = {0x00, 0x17};
    stream.insert(stream.end(), reply.begin(), reply.end());
    ReplyAssembler a;
    EXPECT_EQ(feedAll(a, stream), 0u);
    a.clear();
    EXPECT_EQ(feedAll(a, reply), 12u);
}

TEST(ReplyAssemblerTest, StartsAgainAfter128BytesAndSurvivesSillyLengths) {
    ReplyAssembler a;
    std::vector<uint8_t> junk(128, 0x01);  // byte 4 and 5 never form a reply of this length
    junk[4] = 0xFF;
    EXPECT_EQ(feedAll(a, junk), 0u);
    EXPECT_EQ(a.position(), 0u);
    auto reply = build(block::kUnit, op::kRead, 0, 0x03, {4, 0}, 0x2222);
    reply[5] |= 1;
    EXPECT_EQ(feedAll(a, reply), 12u);
    // Length bytes of 0, 5 and 200 never complete a frame and never run past the buffer.
    for (uint8_t len : {0, 5, 200}) {
        a.clear();
        std::vector<uint8_t> silly(120, 0x11);
        silly[4] = len;
        EXPECT_EQ(feedAll(a, silly), 0u);
        EXPECT_LT(a.position(), frame::kMaxSize);
    }
}

}  // namespace
}  // namespace qel
