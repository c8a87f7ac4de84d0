// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "link/CommandQueue.h"

namespace qel {
namespace {

constexpr uint16_t kTag = 0x0A0B;

Command write(uint8_t blk, uint8_t channel, uint8_t code, std::vector<uint8_t>& payload,
              uint8_t operation = op::kWrite) {
    Command c;
    c.operation = operation;
    c.block = blk;
    c.channel = channel;
    c.code = code;
    c.payload = payload.data();
    c.payloadLength = payload.size();
    c.tries = 4;
    c.timeoutMs = 400;
    return c;
}

std::vector<uint8_t> replyTo(const uint8_t* frameBytes, size_t length) {
    std::vector<uint8_t> r(frameBytes, frameBytes + length);
    r[5] |= 1;
    return r;
}

class CommandQueueTest : public ::testing::Test {
protected:
    void SetUp() override { q.open(); }
    // Plays the sender: takes the head, answers it with the reply (or not) and finishes it.
    std::vector<uint8_t> serveHead(bool answer) {
        CommandQueue::Outgoing out;
        EXPECT_TRUE(q.takeHead(out, 0));
        std::vector<uint8_t> sent(out.frame, out.frame + out.length);
        q.markTransmitted();
        if (answer) {
            auto r = replyTo(out.frame, out.length);
            EXPECT_TRUE(q.deliverReply(r.data(), r.size()));
        }
        q.finishHead(false);
        return sent;
    }
    CommandQueue q;
};

TEST_F(CommandQueueTest, RefusesThe32ndPendingAndWrapsAround) {
    std::vector<uint8_t> p = {1, 0};
    // Different channels keep coalescing out of the way.
    for (int i = 0; i < 31; ++i)
        EXPECT_NE(q.enqueue(write(block::kOutput, static_cast<uint8_t>(i), 0x01, p), kTag), 0u);
    EXPECT_EQ(q.pendingCount(), 31u);
    EXPECT_EQ(q.enqueue(write(block::kOutput, 99, 0x01, p), kTag), 0u);
    // Serve 20, then fill again so that tail and head wrap past slot 31.
    for (int i = 0; i < 20; ++i) EXPECT_EQ(serveHead(true)[8], i);
    for (int i = 31; i < 51; ++i)
        EXPECT_NE(q.enqueue(write(block::kOutput, static_cast<uint8_t>(i), 0x01, p), kTag), 0u);
    EXPECT_EQ(q.enqueue(write(block::kOutput, 99, 0x01, p), kTag), 0u);
    for (int i = 20; i < 51; ++i) EXPECT_EQ(serveHead(true)[8], i);  // order kept
    EXPECT_EQ(q.pendingCount(), 0u);
}

TEST_F(CommandQueueTest, CoalescesOnlyTheNewestWaitingSlotWithTheSameKey) {
    std::vector<uint8_t> a = {10, 0}, b = {20, 0}, c = {30, 0};
    const Ticket first = q.enqueue(write(block::kOutput, 2, 0x01, a), kTag);
    // The head may already be on the wire: never rewritten.
    const Ticket second = q.enqueue(write(block::kOutput, 2, 0x01, b), kTag);
    EXPECT_NE(first, second);
    const Ticket third = q.enqueue(write(block::kOutput, 2, 0x01, c), kTag);
    EXPECT_EQ(third, second);  // replaced in place
    EXPECT_EQ(q.pendingCount(), 2u);
    EXPECT_EQ(serveHead(true)[10], 10);
    EXPECT_EQ(serveHead(true)[10], 30);
    // Other channel, block, code or operation: no merge.
    const Ticket t1 = q.enqueue(write(block::kOutput, 2, 0x01, a), kTag);
    q.enqueue(write(block::kOutput, 3, 0x01, a), kTag);
    q.enqueue(write(block::kInput, 3, 0x01, a), kTag);
    q.enqueue(write(block::kInput, 3, 0x02, a), kTag);
    q.enqueue(write(block::kInput, 3, 0x02, a, op::kLoad), kTag);
    EXPECT_NE(t1, 0u);
    EXPECT_EQ(q.pendingCount(), 5u);
}

TEST_F(CommandQueueTest, EqPointAndLinkedWritesKeepTheirOwnPointsAndChannels) {
    std::vector<uint8_t> head = {0, 0};
    q.enqueue(write(block::kInput, 1, 0x02, head), kTag);
    std::vector<uint8_t> p3 = {3, 0, 100, 120, 4, 0}, p4 = {4, 0, 100, 120, 4, 0},
                         p4b = {4, 1, 90, 110, 4, 0};
    q.enqueue(write(block::kInput, 1, 0x09, p3), kTag);
    q.enqueue(write(block::kInput, 1, 0x09, p4), kTag);
    EXPECT_EQ(q.pendingCount(), 3u);  // point 3 kept, point 4 added
    q.enqueue(write(block::kInput, 1, 0x09, p4b), kTag);
    EXPECT_EQ(q.pendingCount(), 3u);  // point 4 replaced
    std::vector<uint8_t> l23 = {4, 0, 100, 120, 4, 2, 2, 3},
                         l234 = {4, 0, 99, 120, 4, 3, 2, 3, 4, 0},
                         l23b = {4, 0, 98, 120, 4, 2, 2, 3};
    q.enqueue(write(block::kInput, 1, 0x09, l23, op::kLinkedWrite), kTag);
    q.enqueue(write(block::kInput, 1, 0x09, l234, op::kLinkedWrite), kTag);
    EXPECT_EQ(q.pendingCount(), 5u);  // a different set of linked channels is kept
    q.enqueue(write(block::kInput, 1, 0x09, l23b, op::kLinkedWrite), kTag);
    EXPECT_EQ(q.pendingCount(), 6u);  // the newest is the 2-3-4 one, so no merge
    serveHead(true);
    serveHead(true);
    const auto point4 = serveHead(true);
    EXPECT_EQ(point4[10], 4);
    EXPECT_EQ(point4[11], 1);  // the replaced point carries the newest values
}

TEST_F(CommandQueueTest, ReadsIntoBuffersNeverMerge) {
    // A loop that reads into the same stack buffer must get a reply of its own each time.
    std::vector<uint8_t> zero = {0, 0};
    uint8_t meters[12] = {};
    auto read = [&] {
        Command c = write(block::kUnit, 0, 0x07, zero, op::kRead);
        c.replyDestination = meters;
        c.replyDataLength = sizeof meters;
        return q.enqueue(c, kTag);
    };
    const Ticket first = read();
    const Ticket second = read();
    EXPECT_NE(read(), second);
    EXPECT_NE(second, first);
    EXPECT_EQ(q.pendingCount(), 3u);
    // A poller that owns its buffer for good asks to coalesce, and its reads merge.
    Command poll = write(block::kUnit, 0, 0x07, zero, op::kRead);
    poll.replyDestination = meters;
    poll.replyDataLength = sizeof meters;
    poll.coalesce = true;
    const Ticket merged = q.enqueue(poll, kTag);
    EXPECT_EQ(q.enqueue(poll, kTag), merged);
    EXPECT_EQ(q.pendingCount(), 4u);
}

TEST_F(CommandQueueTest, ReplyDataNeverReadsPastTheReply) {
    std::vector<uint8_t> zero = {0, 0};
    uint8_t dest[30];
    std::fill(std::begin(dest), std::end(dest), 0xEE);
    Command c = write(block::kAllChannels, 0, 0x01, zero, op::kRead);
    c.replyDestination = dest;
    c.replyDataLength = sizeof dest;
    const Ticket t = q.enqueue(c, kTag);
    CommandQueue::Outgoing out;
    ASSERT_TRUE(q.takeHead(out, 0));
    auto r = replyTo(out.frame, out.length);  // a reply with 2 payload bytes
    r[10] = 7;
    r[11] = 8;
    EXPECT_TRUE(q.deliverReply(r.data(), r.size()));
    q.finishHead(false);
    EXPECT_EQ(q.wait(t, 100), Outcome::Accepted);
    EXPECT_EQ(dest[0], 7);
    EXPECT_EQ(dest[1], 8);
    EXPECT_EQ(dest[2], 0xEE);
}

TEST_F(CommandQueueTest, OutcomesFollowTheTicketNotTheHead) {
    std::vector<uint8_t> p = {1, 0};
    const Ticket accepted = q.enqueue(write(block::kUnit, 0, 0x03, p), kTag);
    const Ticket mismatch = q.enqueue(write(block::kUnit, 0, 0x04, p), kTag);
    const Ticket silent = q.enqueue(write(block::kUnit, 0, 0x05, p), kTag);
    const Ticket foreign = q.enqueue(write(block::kUnit, 0, 0x06, p), kTag);
    const Ticket left = q.enqueue(write(block::kUnit, 0, 0x11, p), kTag);
    serveHead(true);
    CommandQueue::Outgoing out;
    ASSERT_TRUE(q.takeHead(out, 0));
    auto r = replyTo(out.frame, out.length);
    r[9] = 0x55;  // answers another command
    EXPECT_TRUE(q.deliverReply(r.data(), r.size()));
    EXPECT_EQ(q.replyState(1), reply::kReceived | reply::kMismatch);
    q.finishHead(false);
    serveHead(false);
    ASSERT_TRUE(q.takeHead(out, 0));
    r = replyTo(out.frame, out.length);
    r[2] ^= 0xFF;  // another run's tag is ignored
    EXPECT_FALSE(q.deliverReply(r.data(), r.size()));
    q.finishHead(false);
    EXPECT_EQ(q.wait(accepted, 0), Outcome::Accepted);
    EXPECT_EQ(q.wait(mismatch, 0), Outcome::Mismatch);
    EXPECT_EQ(q.wait(silent, 0), Outcome::NoReply);
    EXPECT_EQ(q.wait(foreign, 0), Outcome::NoReply);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(q.wait(left, 50), Outcome::TimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    q.close();
    EXPECT_EQ(q.wait(left, 0), Outcome::Abandoned);
    EXPECT_EQ(q.enqueue(write(block::kUnit, 0, 0x03, p), kTag), 0u);  // closed
    EXPECT_EQ(q.wait(0, 0), Outcome::Unknown);
}

TEST_F(CommandQueueTest, DetachedMeterReadsStillWaitingAreDropped) {
    uint8_t levels[12] = {};
    std::vector<uint8_t> zero = {0, 0};
    Command meters = write(block::kUnit, 0, 0x07, zero, op::kRead);
    meters.replyDestination = levels;
    meters.replyDataLength = sizeof levels;
    meters.coalesce = true;
    const Ticket inFlight = q.enqueue(meters, kTag);
    const Ticket waiting = q.enqueue(meters, kTag);
    std::vector<uint8_t> gain = {0x40, 0};
    const Ticket edit = q.enqueue(write(block::kOutput, 1, 0x01, gain), kTag);
    CommandQueue::Outgoing out;
    ASSERT_TRUE(q.takeHead(out, 0));
    q.detach(levels);  // the meters stopped: a notice queued now is not kept waiting
    EXPECT_EQ(q.wait(waiting, 0), Outcome::Abandoned);
    EXPECT_EQ(q.wait(inFlight, 0), Outcome::TimedOut);  // the sender's to finish
    q.finishHead(false);
    EXPECT_EQ(serveHead(true)[9], 0x01);  // the edit is next
    EXPECT_EQ(q.wait(edit, 0), Outcome::Accepted);
    EXPECT_EQ(q.pendingCount(), 0u);
}

}  // namespace
}  // namespace qel
