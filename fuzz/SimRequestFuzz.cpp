// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The simulator is a peer too: whatever arrives at a simulated unit, as datagrams or on its
// serial stream, must be answered or ignored without harm.
//
// Input: model byte, fault byte, mode byte (bit 0: serial stream; bit 1: reseal chunks that
// look like frames so that they pass the checksum), then chunks of a length byte and bytes.
#include <cstdlib>
#include <vector>

#include "FaultInjector.h"
#include "FrameSplitter.h"
#include "SimUnit.h"
#include "UnitProtocol.h"
#include "link/Packet.h"

using namespace qel;
using namespace qel::sim;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

Faults faultsFrom(uint8_t bits) {
    Faults f;
    f.duplicateReplies = bits & 0x01;
    f.lateReplies = bits & 0x02;
    f.wrongTag = bits & 0x04;
    f.wrongEcho = bits & 0x08;
    f.busy = static_cast<Faults::Busy>((bits >> 4) & 0x03);
    if (bits & 0x40) f.silentCodes = {0x03, 0x12};
    f.dropRequests = (bits & 0x80) ? 0.25 : 0.0;
    f.seed = bits;
    return f;
}

void checkReplies(const SimUnit::Response& r) {
    for (const Bytes& f : r.frames) {
        check(f.size() >= frame::kHeaderSize && f.size() <= frame::kMaxSize);
        check(f[frame::kLength] == f.size() && (f[frame::kTarget] & 1));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int model = 2 + data[0] % 3;
    SimUnit unit(model, "Fuzzed", faultsFrom(data[1]), data[1]);
    const bool serial = data[2] & 1;
    const bool reseal = data[2] & 2;
    FrameSplitter splitter;
    uint32_t tick = 0;
    for (size_t at = 3; at < size;) {
        const size_t n = std::min<size_t>(data[at], size - at - 1);
        Bytes chunk(data + at + 1, data + at + 1 + n);
        at += 1 + n;
        if (reseal && chunk.size() >= frame::kHeaderSize && chunk[frame::kLength] == chunk.size())
            UnitProtocol::reseal(chunk);
        tick += 7;
        if (serial) {
            for (const Bytes& f : splitter.feed(chunk.data(), chunk.size()))
                checkReplies(unit.receive(f.data(), f.size(), tick));
        } else {
            const size_t length =
                UnitProtocol::datagramFrameLength(chunk.data(), static_cast<long>(chunk.size()));
            if (length) checkReplies(unit.receive(chunk.data(), length, tick));
        }
    }
    check(unit.state().model == model);
    return 0;
}
