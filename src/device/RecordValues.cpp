// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/RecordValues.h"

#include <iterator>

#include "device/FreqTable.h"
#include "device/Models.h"
#include "device/ValueCodes.h"

namespace qel {

namespace {

template <size_t N>
std::optional<int> listItem(const int (&list)[N], uint8_t index) {
    if (index >= N) return std::nullopt;
    return list[index];
}

template <typename Channel, size_t N>
void fillPoints(const Channel& channel, std::array<EqPointValues, N>& out) {
    for (size_t p = 0; p < N; ++p) out[p] = eqPointValues(channel.point(static_cast<int>(p)));
}

InputValues inputValues(const InputChannel& in) {
    InputValues v;
    v.gainDb = gainDb(in.gain());
    v.muted = in.mute() != 0;
    v.eqPass = in.eqSwitch() != 0;
    fillPoints(in, v.points);
    return v;
}

OutputValues outputValues(const OutputChannel& out) {
    OutputValues v;
    v.gainDb = gainDb(out.gain());
    v.muted = out.mute() != 0;
    v.eqPass = out.eqSwitch() != 0;
    v.inverted = out.polarity() != 0;
    v.delayMs = delayMs(out.delay());
    v.inputSet = static_cast<uint8_t>(out.inputSelect() & 0x0F);
    v.limiterDb = limiterLevelDb(out.limiterLevel());
    v.attackMs = limiterAttackMs(out.limiterAttack());
    v.releaseMs = limiterReleaseMs(out.limiterRelease());
    v.highPassName = crossoverTypeName(out.highPassType());
    v.lowPassName = crossoverTypeName(out.lowPassType());
    v.highPassHz = FreqTable[out.highPassFreq()];
    v.lowPassHz = FreqTable[out.lowPassFreq()];
    v.highPassOff = out.highPassFreq() == kHighPassOffCode;
    v.lowPassOff = out.lowPassFreq() == kLowPassOffCode;
    fillPoints(out, v.points);
    return v;
}

}  // namespace

EqPointValues eqPointValues(const EqPoint& point) {
    return {point.type, FreqTable[point.freq], eqGainDb(point.gain), eqQ(point.q)};
}

std::optional<int> limiterAttackMs(uint8_t index) {
    return listItem(kLimiterAttackMs, index);
}
std::optional<int> limiterReleaseMs(uint8_t index) {
    return listItem(kLimiterReleaseMs, index);
}

RecordValues recordValues(const ModeRecord& record, uint32_t modelCode) {
    const uint32_t model = isKnownModel(modelCode) ? modelCode : model::kQD408;
    RecordValues v;
    v.used = record.isUsed();
    v.name = record.name();
    v.date = record.date();
    for (int i = 0; i < inputCount(model); ++i) v.inputs.push_back(inputValues(record.input(i)));
    for (int k = 0; k < outputCount(model); ++k)
        v.outputs.push_back(outputValues(record.output(k)));
    return v;
}

}  // namespace qel
