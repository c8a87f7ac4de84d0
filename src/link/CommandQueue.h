// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

#include "link/Packet.h"

namespace qel {

// One command to put on a unit's queue.
struct Command {
    uint8_t operation = op::kRead;
    uint8_t block = block::kUnit;
    uint8_t channel = 0;
    uint8_t code = 0;
    const uint8_t* payload = nullptr;
    size_t payloadLength = 0;
    // Receives the reply's payload bytes, or none. It must live until the wait for the
    // command returns; a wait that ends without the reply detaches it, so no later reply
    // writes into it. Commands with a destination merge only when both ask to coalesce.
    uint8_t* replyDestination = nullptr;
    size_t replyDataLength = 0;  // how many payload bytes the caller wants at most
    // A repeated read into one long-lived buffer (the meters) may be merged with an
    // identical one still waiting; its owner reads the buffer with readReplyData() and
    // calls detach() before the buffer goes away.
    bool coalesce = false;
    // Sent while the unit does not answer: counted as unconfirmed when queued, so the sender
    // does not count it again.
    bool doubtful = false;
    int tries = 1;
    uint32_t timeoutMs = 100;
};

// Identifies an enqueued command for waiting; 0 means the command was refused.
using Ticket = uint64_t;

enum class Outcome {
    Pending,    // not finished yet
    Accepted,   // a reply echoed the command
    Mismatch,   // a reply with our tag answered another command
    NoReply,    // all tries spent without a reply
    Abandoned,  // the link stopped before the command finished
    TimedOut,   // the caller's wait limit passed
    Unknown,    // the ticket is too old to tell
};

// Reply-state bits of a slot.
namespace reply {
constexpr uint32_t kReceived = 0x100, kAccepted = 0x200, kMismatch = 0x400;
}

// The 32-slot command queue of one unit. Producers on any thread enqueue; the sender thread
// alone advances the head; the receive thread writes the reply fields of the head slot.
// All slot fields are guarded by one mutex, so every call is safe from any thread.
class CommandQueue {
public:
    static constexpr size_t kSlots = 32;
    static constexpr uint32_t kPending = 0x01, kTransmitted = 0x02;

    // The frame of the head slot, copied out for transmission.
    struct Outgoing {
        uint8_t frame[frame::kMaxSize];
        size_t length = 0;
        int tries = 0;
        uint32_t timeoutMs = 0;
        bool doubtful = false;
    };

    // Builds the frame with the tag and queues it. A pending command with the same key that is
    // not at the head is rewritten in place (its ticket is returned). Returns 0 when the
    // queue is closed, the payload does not fit, or 31 commands are already pending.
    // newlyDoubtful, when given, tells whether a doubtful command took a slot that was not
    // doubtful yet (a rewrite of a doubtful slot is the same unconfirmed write).
    Ticket enqueue(const Command& command, uint16_t tag, bool* newlyDoubtful = nullptr);

    // Waits for the command's outcome, at most limitMs, or until *cancel (when given) is set
    // (then TimedOut; the flag is looked at every few ms, so it may be set from anywhere).
    // replyLength, when given, receives the length of the reply frame that ended the command
    // (0 when none did).
    Outcome wait(Ticket ticket, uint32_t limitMs, size_t* replyLength = nullptr,
                 const std::atomic<bool>* cancel = nullptr);

    // Opening lets commands in; closing refuses new ones, ends every wait and drops what
    // is pending (their outcome becomes Abandoned).
    void open();
    void close();
    bool isOpen() const;

    // Sender side. takeHead blocks at most maxWaitMs for a pending head slot, or until
    // wakeAll() when `stopped` (looked at under the queue's lock) says so.
    bool takeHead(Outgoing& out, uint32_t maxWaitMs, const std::function<bool()>& stopped = {});
    void markTransmitted();
    // Waits until the head slot has been answered (accepted or mismatched) or the deadline
    // passes, and returns its reply state.
    uint32_t waitReply(std::chrono::steady_clock::time_point deadline);
    void finishHead(bool abandoned);

    // Receive side. Delivers a reply to the head slot if that slot is pending and the tags
    // match; returns false when the reply was not taken.
    bool deliverReply(const uint8_t* reply, size_t length);
    size_t headIndex() const { return head_.load(std::memory_order_acquire); }

    // Ends every blocking call early so that their callers can look at their stop flags.
    void wakeAll();

    // Copies n bytes of a reply destination while no reply is being written into it.
    void readReplyData(const uint8_t* destination, uint8_t* out, size_t n) const;
    // No reply is written into destination any more, and the reads still waiting to fill it
    // are dropped (their outcome becomes Abandoned): nobody wants their answer.
    void detach(const uint8_t* destination);

    size_t pendingCount() const;
    // Copy of a slot's reply state (for tests and diagnostics).
    uint32_t replyState(size_t index) const;

private:
    struct Slot {
        uint32_t timeoutMs = 0;
        int32_t tries = 0;
        uint8_t operation = 0;
        uint8_t block = 0;
        uint8_t channel = 0;
        uint8_t code = 0;
        uint32_t state = 0;
        uint32_t replyState = 0;
        uint32_t frameLength = 0;
        uint32_t replyLength = 0;
        uint8_t frame[frame::kMaxSize] = {};
        uint8_t reply[frame::kMaxSize] = {};
        uint8_t* replyDestination = nullptr;
        uint32_t replyDataLength = 0;
        bool coalesce = false;
        bool doubtful = false;
        Ticket ticket = 0;
    };
    struct Finished {
        Ticket ticket = 0;
        Outcome outcome = Outcome::Pending;
        uint32_t replyLength = 0;
    };
    static constexpr size_t kFinishedKept = 256;

    bool fillSlot(Slot& slot, const Command& command, uint16_t tag);
    static bool sameKey(const Slot& slot, const Command& command);
    Outcome outcomeLocked(Ticket ticket) const;
    void recordLocked(const Slot& slot, Outcome outcome);

    mutable std::mutex mutex_;  // guards slots_, finished_, nextTicket_, open_, tail_ writes
    std::condition_variable changed_;
    std::array<Slot, kSlots> slots_{};
    std::array<Finished, kFinishedKept> finished_{};
    Ticket nextTicket_ = 1;
    bool open_ = false;
    uint64_t wakeGeneration_ = 0;
    std::atomic<size_t> head_{0};
    std::atomic<size_t> tail_{0};
};

}  // namespace qel
