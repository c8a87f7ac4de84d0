// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "link/CommandQueue.h"

#include <algorithm>
#include <cstring>

#include "link/Protocol.h"
#include "platform/Trace.h"

namespace qel {

namespace {

size_t next(size_t index) {
    return (index + 1) % CommandQueue::kSlots;
}
size_t previous(size_t index) {
    return (index + CommandQueue::kSlots - 1) % CommandQueue::kSlots;
}

// Data bytes ahead of the count and channel list of a linked write.
size_t linkedDataLength(uint8_t code, size_t payloadLength) {
    switch (code) {
        case param::kEqPoint:
            return 5;
        case param::kEqSwitch:
            return 1;
        case param::kHighPass:
        case param::kLowPass:
            return 2;
        default:
            return payloadLength;
    }
}

bool samePayloadFrom(const uint8_t* frameBytes, size_t frameLength, const Command& c, size_t from) {
    const size_t stored = frameLength - frame::kHeaderSize;
    if (stored != c.payloadLength) return false;
    if (from >= stored) return true;
    return std::memcmp(frameBytes + frame::kPayload + from, c.payload + from, stored - from) == 0;
}

}  // namespace

bool CommandQueue::sameKey(const Slot& s, const Command& c) {
    if (s.operation != c.operation || s.block != c.block || s.channel != c.channel ||
        s.code != c.code)
        return false;
    // A read that fills a buffer merges only when both ask for it: each other caller waits
    // for its own reply, and a buffer address says nothing about who owns it by then.
    if (s.replyDestination || c.replyDestination)
        return s.coalesce && c.coalesce && s.replyDestination == c.replyDestination &&
               s.replyDataLength == c.replyDataLength &&
               samePayloadFrom(s.frame, s.frameLength, c, 0);
    const bool channelBlock = c.block == block::kInput || c.block == block::kOutput;
    // EQ point writes of one channel differ by the point index in the payload.
    if (channelBlock && c.code == param::kEqPoint && c.operation != op::kRead) {
        if (c.payloadLength == 0 || s.frameLength <= frame::kPayload ||
            s.frame[frame::kPayload] != c.payload[0])
            return false;
    }
    // A linked write only replaces one that reaches the same other channels.
    if (c.operation == op::kLinkedWrite)
        return samePayloadFrom(s.frame, s.frameLength, c,
                               linkedDataLength(c.code, c.payloadLength));
    return true;
}

bool CommandQueue::fillSlot(Slot& s, const Command& c, uint16_t tag) {
    const size_t length = buildFrame(s.frame, sizeof s.frame, c.block, c.operation, c.channel,
                                     c.code, c.payload, c.payloadLength, tag);
    if (length == 0) return false;
    s.timeoutMs = c.timeoutMs;
    s.tries = std::max(c.tries, 1);
    s.operation = c.operation;
    s.block = c.block;
    s.channel = c.channel;
    s.code = c.code;
    s.frameLength = static_cast<uint32_t>(length);
    s.replyState = 0;
    s.replyLength = 0;
    s.replyDestination = c.replyDestination;
    s.replyDataLength = c.replyDestination ? static_cast<uint32_t>(c.replyDataLength) : 0;
    s.coalesce = c.coalesce;
    s.state = kPending;
    return true;
}

Ticket CommandQueue::enqueue(const Command& c, uint16_t tag, bool* newlyDoubtful) {
    if (newlyDoubtful) *newlyDoubtful = false;
    if (c.payloadLength > frame::kMaxPayload) return 0;
    Ticket ticket = 0;
    {
        std::lock_guard lock(mutex_);
        if (!open_) return 0;
        const size_t head = head_.load(std::memory_order_relaxed);
        const size_t tail = tail_.load(std::memory_order_relaxed);
        const size_t newest = previous(tail);
        if (head != tail && newest != head && (slots_[newest].state & kPending) &&
            sameKey(slots_[newest], c)) {
            Slot& s = slots_[newest];
            const bool wasDoubtful = s.doubtful;
            fillSlot(s, c, tag);
            s.doubtful = wasDoubtful || c.doubtful;
            if (newlyDoubtful) *newlyDoubtful = c.doubtful && !wasDoubtful;
            return s.ticket;
        }
        if (next(tail) == head) {
            qCDebug(lcLink, "Command queue full: dropped block %d op %d channel %d code 0x%02X",
                    c.block, c.operation, c.channel, c.code);
            return 0;
        }
        Slot& s = slots_[tail];
        if (!fillSlot(s, c, tag)) return 0;
        s.doubtful = c.doubtful;
        if (newlyDoubtful) *newlyDoubtful = c.doubtful;
        ticket = s.ticket = nextTicket_++;
        tail_.store(next(tail), std::memory_order_release);
    }
    changed_.notify_all();
    return ticket;
}

Outcome CommandQueue::outcomeLocked(Ticket ticket) const {
    const Finished& f = finished_[ticket % kFinishedKept];
    if (f.ticket == ticket) return f.outcome;
    if (f.ticket > ticket) return Outcome::Unknown;
    return Outcome::Pending;
}

void CommandQueue::recordLocked(const Slot& s, Outcome outcome) {
    finished_[s.ticket % kFinishedKept] = {s.ticket, outcome, s.replyLength};
}

Outcome CommandQueue::wait(Ticket ticket, uint32_t limitMs, size_t* replyLength,
                           const std::atomic<bool>* cancel) {
    // How often a wait looks at its cancel flag.
    constexpr auto kCancelPoll = std::chrono::milliseconds(10);
    if (replyLength) *replyLength = 0;
    if (ticket == 0) return Outcome::Unknown;
    std::unique_lock lock(mutex_);
    if (ticket >= nextTicket_) return Outcome::Unknown;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    Outcome outcome = Outcome::Pending;
    auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_acquire); };
    for (;;) {
        const auto until =
            cancel ? std::min(deadline, std::chrono::steady_clock::now() + kCancelPoll) : deadline;
        if (changed_.wait_until(
                lock, until, [&] { return (outcome = outcomeLocked(ticket)) != Outcome::Pending; }))
            break;
        if (until == deadline || cancelled()) break;
    }
    if (replyLength && outcome != Outcome::Pending && outcome != Outcome::Unknown)
        *replyLength = finished_[ticket % kFinishedKept].replyLength;
    if (outcome != Outcome::Pending) return outcome;
    // The caller stops waiting and its buffer may be gone: a late reply no longer reaches it.
    for (Slot& s : slots_)
        if (s.ticket == ticket && (s.state & kPending)) s.replyDestination = nullptr;
    return Outcome::TimedOut;
}

void CommandQueue::open() {
    std::lock_guard lock(mutex_);
    open_ = true;
}

void CommandQueue::close() {
    {
        std::lock_guard lock(mutex_);
        open_ = false;
        size_t head = head_.load(std::memory_order_relaxed);
        const size_t tail = tail_.load(std::memory_order_relaxed);
        for (; head != tail; head = next(head)) {
            Slot& s = slots_[head];
            if (s.state & kPending) recordLocked(s, Outcome::Abandoned);
            s.state = 0;
        }
        head_.store(head, std::memory_order_release);
        ++wakeGeneration_;
    }
    changed_.notify_all();
}

bool CommandQueue::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

bool CommandQueue::takeHead(Outgoing& out, uint32_t maxWaitMs,
                            const std::function<bool()>& stopped) {
    std::unique_lock lock(mutex_);
    const uint64_t generation = wakeGeneration_;
    changed_.wait_for(lock, std::chrono::milliseconds(maxWaitMs), [&] {
        return head_.load(std::memory_order_relaxed) != tail_.load(std::memory_order_relaxed) ||
               wakeGeneration_ != generation || (stopped && stopped());
    });
    size_t head = head_.load(std::memory_order_relaxed);
    const size_t tail = tail_.load(std::memory_order_relaxed);
    // Skip slots that are no longer pending.
    while (head != tail && !(slots_[head].state & kPending)) head = next(head);
    head_.store(head, std::memory_order_release);
    if (head == tail) return false;
    const Slot& s = slots_[head];
    std::memcpy(out.frame, s.frame, s.frameLength);
    out.length = s.frameLength;
    out.tries = s.tries;
    out.timeoutMs = s.timeoutMs;
    out.doubtful = s.doubtful;
    return true;
}

void CommandQueue::markTransmitted() {
    std::lock_guard lock(mutex_);
    slots_[head_.load(std::memory_order_relaxed)].state |= kTransmitted;
}

uint32_t CommandQueue::waitReply(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    const uint64_t generation = wakeGeneration_;
    const Slot& s = slots_[head_.load(std::memory_order_relaxed)];
    changed_.wait_until(lock, deadline, [&] {
        return (s.replyState & (reply::kAccepted | reply::kMismatch)) != 0 ||
               wakeGeneration_ != generation;
    });
    return s.replyState;
}

void CommandQueue::finishHead(bool abandoned) {
    {
        std::lock_guard lock(mutex_);
        const size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_relaxed)) return;  // closed meanwhile
        Slot& s = slots_[head];
        if (!(s.state & kPending)) return;
        Outcome outcome = Outcome::NoReply;
        if (s.replyState & reply::kAccepted)
            outcome = Outcome::Accepted;
        else if (s.replyState & reply::kMismatch)
            outcome = Outcome::Mismatch;
        else if (abandoned)
            outcome = Outcome::Abandoned;
        recordLocked(s, outcome);
        s.state &= ~kPending;
        head_.store(next(head), std::memory_order_release);
    }
    changed_.notify_all();
}

bool CommandQueue::deliverReply(const uint8_t* r, size_t length) {
    if (length < frame::kHeaderSize || length > frame::kMaxSize) return false;
    {
        std::lock_guard lock(mutex_);
        const size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_relaxed)) return false;
        Slot& s = slots_[head];
        if (!(s.state & kPending) || frameTag(s.frame) != frameTag(r)) return false;
        // The first reply decides; a second one with the same tag must not overwrite it.
        if (s.replyState & (reply::kAccepted | reply::kMismatch)) return false;
        s.replyState |= reply::kReceived;
        s.replyLength = static_cast<uint32_t>(length);
        std::memcpy(s.reply, r, length);
        if (s.replyDestination) {
            // Never more than the reply's own payload.
            const size_t n = std::min<size_t>(s.replyDataLength, length - frame::kHeaderSize);
            std::memcpy(s.replyDestination, r + frame::kPayload, n);
        }
        const bool echoes = r[frame::kChannel] == s.frame[frame::kChannel] &&
                            r[frame::kCode] == s.frame[frame::kCode];
        s.replyState |= echoes ? reply::kAccepted : reply::kMismatch;
    }
    changed_.notify_all();
    return true;
}

void CommandQueue::wakeAll() {
    {
        std::lock_guard lock(mutex_);
        ++wakeGeneration_;
    }
    changed_.notify_all();
}

void CommandQueue::readReplyData(const uint8_t* destination, uint8_t* out, size_t n) const {
    std::lock_guard lock(mutex_);
    std::memcpy(out, destination, n);
}

void CommandQueue::detach(const uint8_t* destination) {
    std::lock_guard lock(mutex_);
    const size_t head = head_.load(std::memory_order_relaxed);
    for (size_t i = 0; i < kSlots; ++i) {
        Slot& s = slots_[i];
        if (s.replyDestination != destination) continue;
        s.replyDestination = nullptr;
        // The slot in flight is the sender's to finish; skipped slots it passes by.
        if (i != head && (s.state & kPending) && s.operation == op::kRead) {
            recordLocked(s, Outcome::Abandoned);
            s.state &= ~kPending;
        }
    }
}

size_t CommandQueue::pendingCount() const {
    std::lock_guard lock(mutex_);
    const size_t head = head_.load(std::memory_order_relaxed);
    const size_t tail = tail_.load(std::memory_order_relaxed);
    return (tail + kSlots - head) % kSlots;
}

uint32_t CommandQueue::replyState(size_t index) const {
    std::lock_guard lock(mutex_);
    return slots_[index % kSlots].replyState;
}

}  // namespace qel
