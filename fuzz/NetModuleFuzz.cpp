// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Network module replies as the unit network settings read them: search replies into the
// module table, a login reply into the read request, and a configuration reply into the
// fields and the write. Each piece is copied to a buffer of its own size, so that a read past
// its end is caught.
//
// Input: up to three search replies (a length byte and its bytes each), a login reply (the
// same), then the configuration reply (the rest, at most 2048 bytes).
#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "netsetup/NetModuleProtocol.h"
#include "netsetup/NetModuleSearch.h"

using namespace qel;

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}

std::vector<uint8_t> piece(fuzz::FuzzInput& in, size_t n, bool chunk) {
    const uint8_t* bytes = nullptr;
    const size_t got = chunk ? in.chunk(0xFF, &bytes) : in.take(n, &bytes);
    return std::vector<uint8_t>(bytes, bytes + got);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    NetModuleTable table;
    const int searchReplies = in.byte() % 4;
    for (int i = 0; i < searchReplies; ++i) {
        const auto reply = piece(in, 0, true);
        const int row = NetModuleSearch::takeReply(table, reply.data(), reply.size());
        check((row >= 0) == (reply.size() >= NetModuleProtocol::kMinSearchReply));
        if (row < 0) continue;
        const auto e = *table.entry(row);
        check(e.ipText == formatIpv4(e.ip) && e.gatewayText == formatIpv4(e.gateway));
        check(e.macText.size() == 17 && NetModuleProtocol::parseMac(e.macText) == e.mac);
    }
    const auto login = piece(in, 0, true);
    const auto read = NetModuleProtocol::readRequest(login.data(), login.size());
    check(read.size() == NetModuleProtocol::kReadSize && read[8] == 0x01 && read[9] == 0x05);
    const auto block = piece(in, NetModuleProtocol::kConfigBuffer, false);
    const ModuleConfig c = NetModuleProtocol::readConfig(block.data(), block.size());
    check(c.complete() == (block.size() >= NetModuleProtocol::kMinConfigReply));
    check(!c.pc2 || block.size() >= NetModuleProtocol::kPc2Offset + 4);
    const auto write = NetModuleProtocol::writeMessage(c, c.ip.value_or(0), c.gateway.value_or(0),
                                                       c.pc1.value_or(0), c.pc2.value_or(0));
    check(write.size() == NetModuleProtocol::kWriteSize && write[32] == 0xFF && write[35] == 0x00);
    return 0;
}
