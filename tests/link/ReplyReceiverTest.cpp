// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <vector>

#include "link/CommandQueue.h"
#include "link/ReplyReceiver.h"

namespace qel {
namespace {

constexpr uint16_t kTag = 0x4D21;

using Bytes = std::vector<uint8_t>;

Bytes frameOf(uint8_t target, uint8_t channel, uint8_t code, const Bytes& payload,
              uint16_t tag = kTag) {
    Bytes f(payload.size() + frame::kHeaderSize);
    buildFrame(f.data(), f.size(), static_cast<uint8_t>(target >> 4), target & 0x0F, channel, code,
               payload.data(), payload.size(), tag);
    return f;
}

// A queue with one meters read in flight, and what the receive thread does with bytes.
class ReplyReceiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        q.open();
        Command c;
        c.code = 0x07;
        c.payload = zero;
        c.payloadLength = 2;
        c.replyDestination = levels;
        c.replyDataLength = 12;
        ticket = q.enqueue(c, kTag);
        CommandQueue::Outgoing out;
        ASSERT_TRUE(q.takeHead(out, 0));
    }
    Outcome finish() {
        q.finishHead(false);
        return q.wait(ticket, 0);
    }

    const uint8_t zero[2] = {0, 0};
    uint8_t levels[12] = {};
    CommandQueue q;
    ReplyReceiver receiver;
    Ticket ticket = 0;
    const Bytes meters = frameOf(0x01, 0, 0x07, Bytes(12, 9));
};

TEST_F(ReplyReceiverTest, ADatagramOfJunkDoesNotHideTheReplyInTheNext) {
    const Bytes junk = {0xFF, 0x13, 0x00, 0x42, 0x99};
    EXPECT_EQ(receiver.take(q, junk.data(), junk.size(), true), 0);
    EXPECT_EQ(receiver.take(q, meters.data(), meters.size(), true), 1);
    EXPECT_EQ(finish(), Outcome::Accepted);
    EXPECT_EQ(levels[11], 9);
}

TEST_F(ReplyReceiverTest, AReplyOfAnotherRunIsPassedOverAndTheNextOneInTheStreamTaken) {
    Bytes stream = frameOf(0x01, 0, 0x07, Bytes(12, 5), 0x1111);  // another tag
    stream.insert(stream.end(), meters.begin(), meters.end());
    EXPECT_EQ(receiver.take(q, stream.data(), stream.size(), false), 1);
    EXPECT_EQ(finish(), Outcome::Accepted);
    EXPECT_EQ(levels[0], 9);
}

TEST_F(ReplyReceiverTest, BackToBackRepliesOnTheSerialStreamAreEachRecognised) {
    Bytes stream = frameOf(0x01, 0, 0x07, Bytes(12, 5), 0x2222);
    stream.insert(stream.end(), meters.begin(), meters.end());
    // Split in awkward places, as serial reads come.
    EXPECT_EQ(receiver.take(q, stream.data(), 7, false), 0);
    EXPECT_EQ(receiver.take(q, stream.data() + 7, 20, false), 0);
    EXPECT_EQ(receiver.take(q, stream.data() + 27, stream.size() - 27, false), 1);
    EXPECT_EQ(finish(), Outcome::Accepted);
}

TEST_F(ReplyReceiverTest, ASecondReplyNeverOverwritesTheAcceptedOne) {
    const Bytes stale = frameOf(0x01, 0, 0x07, Bytes(12, 0x55));
    Bytes stream = meters;
    stream.insert(stream.end(), stale.begin(), stale.end());
    EXPECT_EQ(receiver.take(q, stream.data(), stream.size(), false), 1);  // one serial read
    EXPECT_EQ(receiver.take(q, stale.data(), stale.size(), true), 0);     // another datagram
    EXPECT_EQ(finish(), Outcome::Accepted);
    EXPECT_EQ(levels[0], 9);
    EXPECT_EQ(levels[11], 9);
}

TEST_F(ReplyReceiverTest, ARepeatedReplyOfTheSameCodeCannotBeToldFromAFreshOne) {
    // The known hole: a copy of the previous meters reply answers the next meters read.
    EXPECT_EQ(receiver.take(q, meters.data(), meters.size(), true), 1);
    EXPECT_EQ(finish(), Outcome::Accepted);
    Command again;
    again.code = 0x07;
    again.payload = zero;
    again.payloadLength = 2;
    const Ticket next = q.enqueue(again, kTag);
    CommandQueue::Outgoing out;
    ASSERT_TRUE(q.takeHead(out, 0));
    EXPECT_EQ(receiver.take(q, meters.data(), meters.size(), true), 1);
    q.finishHead(false);
    EXPECT_EQ(q.wait(next, 0), Outcome::Accepted);
}

}  // namespace
}  // namespace qel
