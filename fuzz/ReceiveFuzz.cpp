// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The receive path: bytes from a unit go through reply recognition and are matched against
// the command in flight, over the UDP ring (datagrams from the unit and from others) or over
// the serial stream, where the probe exchange also resynchronises on two 0xFF bytes.
//
// Input: mode byte (bit 0: serial), the command's target byte, channel, code and wanted reply
// length, then chunks of one length byte and its bytes (on UDP, bit 7 of the length byte
// sends the chunk from another address).
#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "link/CommandQueue.h"
#include "link/EquipmentSearch.h"
#include "link/ReplyAssembler.h"
#include "link/ReplyReceiver.h"
#include "link/UdpEndpoint.h"

using namespace qel;

namespace {

constexpr uint16_t kTag = 0x5A3C;
constexpr Ipv4 kUnit = 0x0202007F, kOther = 0x0302007F;  // 127.0.2.2 and 127.0.2.3

void check(bool condition) {
    if (!condition) std::abort();
}

struct Flight {
    Command command;
    uint8_t payload[2] = {0, 0};
    std::vector<uint8_t> destination;
    Ticket ticket = 0;
};

void launch(CommandQueue& q, Flight& f) {
    f.command.payload = f.payload;
    f.command.payloadLength = 2;
    f.command.replyDestination = f.destination.empty() ? nullptr : f.destination.data();
    f.ticket = q.enqueue(f.command, kTag);
    CommandQueue::Outgoing out;
    check(f.ticket != 0 && q.takeHead(out, 0));
    q.markTransmitted();
}

// Plays the sender: an answered head is finished and the same command goes out again.
void settle(CommandQueue& q, Flight& f) {
    const uint32_t state = q.replyState(q.headIndex());
    if (!(state & (reply::kAccepted | reply::kMismatch))) return;
    q.finishHead(false);
    size_t replyLength = 0;
    const Outcome outcome = q.wait(f.ticket, 0, &replyLength);
    check(outcome == Outcome::Accepted || outcome == Outcome::Mismatch);
    check(replyLength >= frame::kHeaderSize && replyLength < frame::kMaxSize);
    launch(q, f);
}

void checkProbeReply(size_t found, const uint8_t* reply) {
    if (!found) return;
    check(found >= frame::kHeaderSize && found < frame::kMaxSize);
    check(reply[frame::kLength] == found && (reply[frame::kTarget] & 1) && reply[found] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const bool serial = in.byte() & 1;
    Flight f;
    const uint8_t target = in.byte();
    f.command.block = static_cast<uint8_t>(target >> 4);
    f.command.operation = static_cast<uint8_t>(target & 0x0E);  // requests are even
    f.command.channel = in.byte();
    f.command.code = in.byte();
    f.command.replyDataLength = in.byte() % (frame::kMaxPayload + 1);
    f.destination.resize(f.command.replyDataLength);
    CommandQueue q;
    q.open();
    launch(q, f);
    ReplyReceiver receiver;
    ReplyAssembler probe;
    uint8_t reply[frame::kMaxSize + 1];
    UdpEndpoint endpoint;  // never opened: only its ring is used
    while (!in.empty()) {
        const uint8_t* bytes = nullptr;
        uint8_t header = 0;
        const size_t n = in.chunk(serial ? 0xFF : 0x7F, &bytes, &header);
        if (serial) {
            receiver.take(q, bytes, n, false);
            const size_t found = EquipmentSearch::assembleSerialReply(probe, bytes, n, reply);
            checkProbeReply(found, reply);
            if (found) probe.clear();
        } else {
            endpoint.park((header & 0x80) ? kOther : kUnit, bytes, n);
            uint8_t datagram[UdpEndpoint::kCellBytes];
            for (size_t got; (got = endpoint.receiveFor(kUnit, datagram, sizeof datagram)) > 0;) {
                receiver.take(q, datagram, got, true);
                ReplyAssembler fresh;
                checkProbeReply(EquipmentSearch::assembleReply(fresh, datagram, got, reply), reply);
            }
        }
        settle(q, f);
    }
    q.close();
    return 0;
}
