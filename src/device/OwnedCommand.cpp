// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/OwnedCommand.h"

namespace qel {

Command OwnedCommand::toCommand(uint8_t* replyDestination) const {
    Command c;
    c.operation = operation;
    c.block = block;
    c.channel = channel;
    c.code = code;
    c.payload = payload.data();
    c.payloadLength = payload.size();
    c.replyDestination = replyDestination;
    c.replyDataLength = replyDestination ? replyLength : 0;
    c.tries = tries;
    c.timeoutMs = timeoutMs;
    return c;
}

}  // namespace qel
