// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "UnitSimulator.h"
#include "device/InputSelect.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ParamCommands.h"
#include "device/UnitCommands.h"
#include "device/UnitTransfer.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "platform/SerialPortMap.h"
#include "support/Loopback.h"
#include "support/SimRecords.h"

namespace qel::robust {

using test::expectedRecord;
using test::randomise;

// Fields of the model's channels that differ between two records (each channel counts once
// per differing byte).
inline int channelDifferences(const ModeRecord& a, const ModeRecord& b, uint32_t model) {
    uint8_t x[ModeRecord::kSize], y[ModeRecord::kSize];
    a.toBytes(x);
    b.toBytes(y);
    int n = 0;
    for (int i = 0; i < inputCount(model); ++i)
        for (size_t o = 0; o < InputChannel::kSize; ++o) {
            const size_t at =
                ModeRecord::kInputsOffset + static_cast<size_t>(i) * InputChannel::kSize + o;
            n += x[at] != y[at];
        }
    for (int k = 0; k < outputCount(model); ++k)
        for (size_t o = 0; o < OutputChannel::kSize; ++o) {
            const size_t at =
                ModeRecord::kOutputsOffset + static_cast<size_t>(k) * OutputChannel::kSize + o;
            n += x[at] != y[at];
        }
    return n;
}

// The faults of a lossy link: drop rates each way and a reply delay of 0..jitter ms.
inline sim::Faults lossy(double drop, int jitterMs, uint32_t seed) {
    sim::Faults f;
    f.dropRequests = drop;
    f.dropReplies = drop;
    f.replyJitterMs = jitterMs;
    f.seed = seed;
    return f;
}

// The command whose every try was lost (request or reply dropped), as the unit's log shows
// it; tries of one command are the same frame sent again. -1 when no command lost them all.
inline int commandLostOnEveryTry(const std::vector<sim::RequestRecord>& log, int tries) {
    for (size_t i = 0; i < log.size();) {
        size_t end = i;
        bool allLost = true;
        for (; end < log.size() && log[end].frame == log[i].frame; ++end)
            allLost = allLost && (log[end].dropped || log[end].replyDropped);
        if (allLost && end - i >= static_cast<size_t>(tries)) return static_cast<int>(i);
        i = end;
    }
    return -1;
}

// CPU time of this process so far, user and system, in ms.
inline double cpuMs() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

// Resident set size of this process in kB, from /proc/self/status.
inline long residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// Longest time a full read of the model may take when every command spends all its tries.
inline uint32_t fullReadBoundMs(uint32_t model) {
    uint32_t total = UnitTransfer::waitLimitMs(cmd::readCurrentMode());
    for (int slot = 0; slot < ModeImage::kDeviceModes; ++slot)
        total += UnitTransfer::waitLimitMs(cmd::readModeName(slot));
    for (uint8_t code = param::kInputSelect; code <= param::kLimiterRelease; ++code)
        total += UnitTransfer::waitLimitMs(cmd::readRow(code));
    for (int i = 0; i < inputCount(model); ++i)
        total += UnitTransfer::waitLimitMs(cmd::readEqBlock(cmd::inputChannel(i + 1)));
    for (int k = 0; k < outputCount(model); ++k)
        total += UnitTransfer::waitLimitMs(cmd::readHighPass(k + 1)) +
                 UnitTransfer::waitLimitMs(cmd::readLowPass(k + 1)) +
                 UnitTransfer::waitLimitMs(cmd::readEqBlock(cmd::outputChannel(k + 1)));
    return total;
}

// Network units of one simulator on one loopback subnet, each with its Equipment, all
// sharing one endpoint.
class NetworkRig {
public:
    struct Unit {
        int index = -1;  // in the simulator
        std::unique_ptr<Equipment> equipment;
    };

    NetworkRig() : subnet_(test::loopbackSubnet()) {}

    bool open() { return endpoint.open(0); }
    std::string host(int n) const { return test::loopbackHost(subnet_, n); }

    // A unit of the model at host 2 + the number of units added before.
    Unit& add(int model, const std::string& name = "Rig unit") {
        Unit u;
        const std::string ip = host(2 + static_cast<int>(units.size()));
        u.index = sim.addNetworkUnit(model, ip, name);
        u.equipment = std::make_unique<Equipment>();
        u.equipment->setAddress(*parseIpv4(ip));
        u.equipment->setFlags(linkflag::kUdp);
        units.push_back(std::move(u));
        return units.back();
    }

    LinkSettings link() {
        LinkSettings l;
        l.endpoint = &endpoint;
        return l;
    }

    UdpEndpoint endpoint;
    sim::UnitSimulator sim;
    std::vector<Unit> units;

private:
    std::string subnet_;
};

}  // namespace qel::robust
