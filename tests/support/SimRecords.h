// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <random>

#include "UnitState.h"
#include "device/InputSelect.h"
#include "device/ModeRecord.h"
#include "device/Models.h"

namespace qel::test {

// Fills a simulated unit with seeded random values in each field's range.
inline void randomise(sim::UnitState& s, uint32_t seed) {
    std::mt19937 gen(seed);
    auto byte = [&](int max) {
        return static_cast<uint8_t>(gen() % (static_cast<unsigned>(max) + 1));
    };
    auto points = [&](uint8_t(*eq)[sim::kPointBytes], int count) {
        for (int p = 0; p < count; ++p)
            for (int b = 0; b < 5; ++b)
                eq[p][b] = byte(b == 0 ? 2 : b == 2 ? 180 : b == 3 ? 179 : 255);
    };
    for (auto& in : s.params.in) {
        in.gain = byte(200);
        in.mute = byte(1);
        in.eqSwitch = byte(1);
        points(in.eq, sim::kInputEqPoints);
    }
    for (auto& out : s.params.out) {
        out.inputSelectCode = byte(15);
        out.gain = byte(200);
        out.mute = byte(1);
        out.polarity = byte(1);
        out.delay = static_cast<uint16_t>(gen() % 48000);
        out.limLevel = byte(60);
        out.limAttack = byte(11);
        out.limRelease = byte(12);
        out.hpfType = byte(8);
        out.hpfFreq = byte(255);
        out.lpfType = byte(8);
        out.lpfFreq = byte(255);
        out.eqSwitch = byte(1);
        points(out.eq, sim::kOutputEqPoints);
    }
    s.currentMode = byte(19);
}

// What an image must hold after reading this unit: rows for every channel, EQ and filters for
// the model's channels.
inline ModeRecord expectedRecord(const sim::UnitState& s) {
    auto point = [](const uint8_t* w) { return EqPoint{w[0], w[2], w[1], w[3]}; };
    ModeRecord r;
    for (int i = 0; i < kMaxInputs; ++i) {
        InputChannel& in = r.input(i);
        in.setGain(s.params.in[i].gain);
        in.setMute(s.params.in[i].mute);
        if (i >= inputCount(s.model)) continue;
        in.setEqSwitch(s.params.in[i].eqSwitch);
        for (int p = 0; p < InputChannel::kPoints; ++p) in.point(p) = point(s.params.in[i].eq[p]);
    }
    for (int k = 0; k < kMaxOutputs; ++k) {
        const auto& o = s.params.out[k];
        OutputChannel& out = r.output(k);
        out.setInputSelect(inputSetFromUnitCode(static_cast<uint32_t>(s.model), o.inputSelectCode));
        out.setGain(o.gain);
        out.setMute(o.mute);
        out.setPolarity(o.polarity);
        out.setDelay(o.delay);
        out.setLimiterLevel(o.limLevel);
        out.setLimiterAttack(o.limAttack);
        out.setLimiterRelease(o.limRelease);
        if (k >= outputCount(s.model)) continue;
        out.setHighPassType(o.hpfType);
        out.setHighPassFreq(o.hpfFreq);
        out.setLowPassType(o.lpfType);
        out.setLowPassFreq(o.lpfFreq);
        out.setEqSwitch(o.eqSwitch);
        for (int p = 0; p < OutputChannel::kPoints; ++p) out.point(p) = point(o.eq[p]);
    }
    return r;
}

}  // namespace qel::test
