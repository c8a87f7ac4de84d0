// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "netsetup/NetModuleClient.h"

#include "platform/Clock.h"
#include "platform/Trace.h"
#include "platform/UdpSocket.h"

namespace qel {

namespace {

// Waits for a datagram from the module; its length, or 0 when the time ran out.
size_t awaitReply(UdpSocket& socket, Ipv4 module, uint16_t port, uint32_t waitMs, uint8_t* reply,
                  size_t capacity) {
    const uint32_t start = tickMs();
    for (;;) {
        const uint32_t spent = tickMs() - start;
        if (spent >= waitMs) return 0;
        if (!socket.waitReadable(static_cast<int>(waitMs - spent))) continue;
        Ipv4 from = 0;
        uint16_t fromPort = 0;
        const long n = socket.receiveFrom(reply, capacity, &from, &fromPort);
        if (n > 0 && from == module && fromPort == port) return static_cast<size_t>(n);
    }
}

}  // namespace

NetModuleClient::NetModuleClient(Ipv4 module, uint16_t modulePort, ModuleTiming timing)
    : module_(module), port_(modulePort), timing_(timing) {}

size_t NetModuleClient::exchange(UdpSocket& socket, const std::vector<uint8_t>& message,
                                 uint32_t waitMs, uint8_t* reply, size_t capacity) {
    // A late answer to the previous step is not taken for this one's.
    while (socket.receiveFrom(reply, capacity) >= 0) {
    }
    for (int attempt = 0; attempt < timing_.tries; ++attempt) {
        if (socket.sendTo(module_, port_, message.data(), message.size()) < 0)
            qCDebug(lcModule, "Module %s: %s", formatIpv4(module_).c_str(),
                    socket.lastError().c_str());
        if (const size_t n = awaitReply(socket, module_, port_, waitMs, reply, capacity)) return n;
    }
    return 0;
}

NetModuleClient::Read NetModuleClient::read() {
    Read result;
    UdpSocket socket;
    if (!socket.open(0, 0)) {
        qCDebug(lcModule, "Module %s: %s", formatIpv4(module_).c_str(), socket.lastError().c_str());
        return result;
    }
    uint8_t shortReply[NetModuleProtocol::kShortReplyBuffer];
    size_t n = exchange(socket, NetModuleProtocol::hello(), timing_.helloWaitMs, shortReply,
                        sizeof shortReply);
    if (!n) return result;
    result.helloReplies = 1;
    result.lastReplySize = n;
    n = exchange(socket, NetModuleProtocol::login(), timing_.loginWaitMs, shortReply,
                 sizeof shortReply);
    if (!n) return result;
    result.loginReplies = 1;
    result.lastReplySize = n;
    static thread_local uint8_t block[NetModuleProtocol::kConfigBuffer];
    n = exchange(socket, NetModuleProtocol::readRequest(shortReply, n), timing_.readWaitMs, block,
                 sizeof block);
    if (!n) return result;
    result.lastReplySize = n;
    result.config = NetModuleProtocol::readConfig(block, n);
    return result;
}

bool NetModuleClient::write(const std::vector<uint8_t>& message) {
    UdpSocket socket;
    if (!socket.open(0, 0)) return false;
    bool sent = true;
    for (int copy = 0; copy < timing_.writeCopies; ++copy) {
        sleepMs(timing_.writeGapMs);
        sent = socket.sendTo(module_, port_, message.data(), message.size()) >= 0 && sent;
    }
    return sent;
}

}  // namespace qel
