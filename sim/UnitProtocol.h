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

    // Recomputes bytes 6 and 7 after a frame was changed.
    static void reseal(Bytes& frame);
};

}  // namespace qel::sim
