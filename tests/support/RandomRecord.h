// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "device/GbkText.h"
#include "device/ModeRecord.h"
#include "device/Models.h"

namespace qel::test {

// A record a unit can hold: the model's channels filled with random values in their ranges,
// everything else zero.
inline ModeRecord randomRecord(uint32_t model, std::mt19937& gen) {
    auto pick = [&](int lo, int hi) {
        return static_cast<uint8_t>(lo +
                                    static_cast<int>(gen() % static_cast<unsigned>(hi - lo + 1)));
    };
    auto point = [&] { return EqPoint{pick(0, 2), pick(0, 180), pick(0, 255), pick(0, 179)}; };
    ModeRecord r;
    r.setUsed(gen() % 2);
    // Names as the mode files hold them, in GBK: ten Chinese characters fill the 20 bytes.
    static const char* kNames[] = {"", "Festival", "Main \"Hall\" \\ 2", "Bühne Süd",
                                   "十个字的名字正好二十"};
    const GbkName name = r.setName(kNames[gen() % 5]);
    EXPECT_TRUE(name.ok() && !name.shortened);
    r.setDate(2000 + static_cast<int>(gen() % 40), 1 + static_cast<int>(gen() % 12),
              1 + static_cast<int>(gen() % 28));
    for (int i = 0; i < inputCount(model); ++i) {
        InputChannel& in = r.input(i);
        in.setGain(pick(0, 124));
        in.setMute(pick(0, 1));
        in.setEqSwitch(pick(0, 1));
        for (int p = 0; p < InputChannel::kPoints; ++p) in.point(p) = point();
    }
    for (int k = 0; k < outputCount(model); ++k) {
        OutputChannel& out = r.output(k);
        out.setGain(pick(0, 124));
        out.setMute(pick(0, 1));
        out.setEqSwitch(pick(0, 1));
        out.setPolarity(pick(0, 1));
        out.setDelay(static_cast<uint16_t>(gen() % 32737));
        out.setInputSelect(static_cast<uint8_t>(gen() % (1u << inputCount(model))));
        out.setLimiterLevel(pick(0, 60));
        out.setLimiterAttack(pick(0, 11));
        out.setLimiterRelease(pick(0, 12));
        out.setHighPassType(pick(0, 8));
        out.setHighPassFreq(pick(0, 255));
        out.setLowPassType(pick(0, 8));
        out.setLowPassFreq(pick(0, 255));
        for (int p = 0; p < OutputChannel::kPoints; ++p) out.point(p) = point();
    }
    return r;
}

}  // namespace qel::test
