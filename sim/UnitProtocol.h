// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "Request.h"
#include "SystemCommands.h"
#include "UnitState.h"

namespace qel::sim {

// Answers one request frame (header complete, checksum already checked) the way a unit does:
// the reply carries the request's instance tag, channel byte and command code, the block and
// an odd operation nibble, and either the data read or an echo of the request payload.
class UnitProtocol {
public:
    static std::optional<Bytes> answer(UnitState& state, const uint8_t* frame, size_t length,
                                       const SystemCommands::Context& context);

    // The frame a datagram carries: one per datagram, starting with FF FF, as long as its
    // byte 4 says and no longer than the datagram. 0 when it holds none.
    static size_t datagramFrameLength(const uint8_t* data, long received);

    // Recomputes bytes 6 and 7 after a frame was changed.
    static void reseal(Bytes& frame);
};

}  // namespace qel::sim
