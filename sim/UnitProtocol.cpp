// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "UnitProtocol.h"

#include <algorithm>

#include "ChannelCommands.h"

namespace qel::sim {

std::optional<Bytes> UnitProtocol::answer(UnitState& state, const uint8_t* f, size_t length,
                                          const SystemCommands::Context& context) {
    if (length < frame::kHeaderSize) return std::nullopt;
    const Request r = Request::fromFrame(f, length);
    std::optional<Bytes> payload;
    if (r.block == block::kUnit)
        payload = SystemCommands(state, context).handle(r);
    else if (r.block <= block::kAllChannels)
        payload = ChannelCommands(state.params).handle(r);
    else
        payload = r.echo();
    if (!payload) return std::nullopt;

    const size_t size = std::min(payload->size(), frame::kMaxPayload);
    Bytes reply(size + frame::kHeaderSize);
    buildFrame(reply.data(), reply.size(), r.block, static_cast<uint8_t>(r.op | 1), r.channel,
               r.code, payload->data(), size, frameTag(f));
    return reply;
}

size_t UnitProtocol::datagramFrameLength(const uint8_t* data, long received) {
    if (received < static_cast<long>(frame::kHeaderSize)) return 0;
    const size_t length = data[frame::kLength];
    if (data[0] != 0xFF || data[1] != 0xFF || length < frame::kHeaderSize ||
        length > static_cast<size_t>(received))
        return 0;
    return length;
}

void UnitProtocol::reseal(Bytes& f) {
    if (f.size() < frame::kHeaderSize) return;
    f[frame::kChecksumLow] = f[frame::kChecksumHigh] = 0;
    const uint16_t crc = packetChecksum(f.data(), f.size());
    f[frame::kChecksumLow] = static_cast<uint8_t>(crc & 0xFF);
    f[frame::kChecksumHigh] = static_cast<uint8_t>((crc >> 8) & 0xFE);
}

}  // namespace qel::sim
