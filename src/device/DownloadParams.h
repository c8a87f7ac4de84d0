// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/OwnedCommand.h"
#include "device/ParamCommands.h"

namespace qel {

class ModeRecord;

// One parameter that the full download writes: a command code of the command set on one
// channel (and one EQ point). The download, its verify and its repair share this list, so
// what is sent, what is compared and what is sent again cannot drift apart.
struct DownloadParam {
    uint8_t code = 0;  // param::kInputSelect .. param::kLowPass
    cmd::Side side = cmd::Side::Input;
    int channel = 0;         // 0-based
    int point = -1;          // 0-based, EQ points only
    int progressAfter = -1;  // download progress to report once this one is sent

    // "input A gain", "output 3 EQ point 7", "output 1 high-pass".
    std::string name() const;
    // The command that sends this parameter of the record: a load (op 4) as the full download
    // sends it, or the write a user's edit of it sends.
    OwnedCommand command(const ModeRecord& record, uint32_t modelCode,
                         cmd::WriteKind kind = cmd::WriteKind::Load) const;
    // What the unit holds for it, in the form the unit reads back: the input set as its unit
    // code, crossover types above 8 as 8. Two records agree on the parameter when equal.
    std::vector<uint8_t> value(const ModeRecord& record, uint32_t modelCode) const;
    // The value in the units people use: "+5.0 dB", "peak 100.0 Hz -3.0 dB Q 1.4".
    std::string describe(const ModeRecord& record, uint32_t modelCode) const;
};

// Every parameter of the model's channels, in the order of the full download.
std::vector<DownloadParam> downloadParams(uint32_t modelCode);

}  // namespace qel
