// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Discovery: search replies from network modules and the probe replies of the units they
// name, or the probe replies of a unit on a serial port, as the search reads them.
//
// Input: mode byte (bit 0: serial), then on the network up to three search replies, each a
// length byte and its bytes; the probe replies follow as chunks of a length byte and the
// bytes that arrive for that probe.
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "device/Models.h"
#include "link/EquipmentList.h"
#include "link/EquipmentSearch.h"
#include "link/ReplyAssembler.h"

using namespace qel;

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const bool serial = in.byte() & 1;
    EquipmentList list;
    SearchSettings settings;
    settings.endpoint = nullptr;  // nothing is sent: the probe exchange below stands in
    settings.progressPauseMs = 0;
    EquipmentSearch search(list, settings);
    fuzz::FuzzInput* input = &in;
    search.setProbeExchange([input, serial](const uint8_t*, size_t, uint8_t* reply) -> size_t {
        ReplyAssembler assembler;
        const uint8_t* bytes = nullptr;
        const size_t n = input->chunk(0xFF, &bytes);
        return serial ? EquipmentSearch::assembleSerialReply(assembler, bytes, n, reply)
                      : EquipmentSearch::assembleReply(assembler, bytes, n, reply);
    });
    if (serial) {
        search.probeSerialUnit("COM3", nullptr);
    } else {
        for (int i = 0; i < 3 && !in.empty(); ++i) {
            const uint8_t* datagram = nullptr;
            const size_t n = in.chunk(0xFF, &datagram);
            search.takeSearchReply(datagram, n);
        }
    }
    for (const auto& e : list.snapshot()) {
        check(isKnownModel(e->modelCode()));
        check(e->modelName() == std::string(modelName(e->modelCode())));
        check(e->deviceName().size() <= 20);
        check(e->hasFlag(serial ? linkflag::kSerial : linkflag::kUdp));
    }
    return 0;
}
