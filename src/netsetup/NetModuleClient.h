// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "link/Protocol.h"
#include "netsetup/NetModuleProtocol.h"
#include "platform/Ipv4.h"

namespace qel {

class UdpSocket;

// Tries and waits of the talk with a module.
struct ModuleTiming {
    int tries = 4;
    uint32_t helloWaitMs = 600, loginWaitMs = 600, readWaitMs = 3600;
    int writeCopies = 3;
    uint32_t writeGapMs = 100;  // before each copy of the write
};

// One module, reached at its address on the module port from an ephemeral port of this PC.
// Blocking calls for a worker thread; replies count only when they come from the module.
class NetModuleClient {
public:
    struct Read {
        size_t helloReplies = 0, loginReplies = 0;  // 0 or 1 each
        size_t lastReplySize = 0;                    // of the last reply received, 0 for none
        std::optional<ModuleConfig> config;          // the configuration reply, if one came
        // The read counts only with a complete configuration block.
        bool ok() const { return config && config->complete(); }
    };

    NetModuleClient(Ipv4 module, uint16_t modulePort = port::kModule, ModuleTiming timing = {});

    // Hello, login, read: each sent up to `tries` times until a reply comes; a step without a
    // reply ends the read.
    Read read();
    // Sends the write message `writeCopies` times, each after a pause; nothing is awaited.
    bool write(const std::vector<uint8_t>& message);

private:
    // Sends the message until a reply comes; its length, 0 for none.
    size_t exchange(UdpSocket& socket, const std::vector<uint8_t>& message, uint32_t waitMs,
                    uint8_t* reply, size_t capacity);

    Ipv4 module_;
    uint16_t port_;
    ModuleTiming timing_;
};

}  // namespace qel
