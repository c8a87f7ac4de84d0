// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/EqPoint.h"

namespace qel {

// One output channel record (56 bytes) of a mode record, byte for byte as stored.
class OutputChannel {
public:
    static constexpr size_t kSize = 56;
    static constexpr size_t kGainOffset = 0, kMuteOffset = 1, kEqSwitchOffset = 2, kDelayOffset = 4,
                            kPointsOffset = 6, kInputSelectOffset = 46, kPolarityOffset = 47,
                            kLimiterLevelOffset = 48, kLimiterAttackOffset = 49,
                            kLimiterReleaseOffset = 50, kLowPassTypeOffset = 51,
                            kLowPassFreqOffset = 52, kHighPassTypeOffset = 53,
                            kHighPassFreqOffset = 54;
    static constexpr int kPoints = 10;

    uint8_t gain() const { return gain_; }
    void setGain(uint8_t code) { gain_ = code; }
    uint8_t mute() const { return mute_; }  // 0 sound, 1 muted
    void setMute(uint8_t value) { mute_ = value; }
    uint8_t eqSwitch() const { return eqSwitch_; }
    void setEqSwitch(uint8_t value) { eqSwitch_ = value; }
    // Samples at 48 kHz, stored little-endian.
    uint16_t delay() const;
    void setDelay(uint16_t samples);

    // Points 0..9; other indices throw std::out_of_range.
    EqPoint& point(int index) { return points_.at(static_cast<size_t>(index)); }
    const EqPoint& point(int index) const { return points_.at(static_cast<size_t>(index)); }

    // Bit set of the inputs mixed in: bit 0 = input 1 ... bit 3 = input 4.
    uint8_t inputSelect() const { return inputSelect_; }
    void setInputSelect(uint8_t bits) { inputSelect_ = bits; }
    uint8_t polarity() const { return polarity_; }  // 0 normal, 1 inverted
    void setPolarity(uint8_t value) { polarity_ = value; }

    uint8_t limiterLevel() const { return limiterLevel_; }
    void setLimiterLevel(uint8_t code) { limiterLevel_ = code; }
    uint8_t limiterAttack() const { return limiterAttack_; }
    void setLimiterAttack(uint8_t index) { limiterAttack_ = index; }
    uint8_t limiterRelease() const { return limiterRelease_; }
    void setLimiterRelease(uint8_t index) { limiterRelease_ = index; }

    // Crossover types above 8 are stored as 8.
    uint8_t lowPassType() const { return lowPassType_; }
    void setLowPassType(uint8_t type);
    uint8_t lowPassFreq() const { return lowPassFreq_; }
    void setLowPassFreq(uint8_t code) { lowPassFreq_ = code; }
    uint8_t highPassType() const { return highPassType_; }
    void setHighPassType(uint8_t type);
    uint8_t highPassFreq() const { return highPassFreq_; }
    void setHighPassFreq(uint8_t code) { highPassFreq_ = code; }

    // What a channel copy takes over: the EQ points, the EQ switch and both filters.
    void copyEqAndFiltersFrom(const OutputChannel& source);

    friend bool operator==(const OutputChannel&, const OutputChannel&) = default;

private:
    struct LayoutCheck;

    uint8_t gain_ = 0;
    uint8_t mute_ = 0;
    uint8_t eqSwitch_ = 0;
    uint8_t reserved_ = 0;
    std::array<uint8_t, 2> delay_{};
    std::array<EqPoint, kPoints> points_{};
    uint8_t inputSelect_ = 0;
    uint8_t polarity_ = 0;
    uint8_t limiterLevel_ = 0;
    uint8_t limiterAttack_ = 0;
    uint8_t limiterRelease_ = 0;
    uint8_t lowPassType_ = 0;
    uint8_t lowPassFreq_ = 0;
    uint8_t highPassType_ = 0;
    uint8_t highPassFreq_ = 0;
    uint8_t tail_ = 0;
};

struct OutputChannel::LayoutCheck {
    static_assert(sizeof(OutputChannel) == kSize);
    static_assert(offsetof(OutputChannel, gain_) == kGainOffset);
    static_assert(offsetof(OutputChannel, mute_) == kMuteOffset);
    static_assert(offsetof(OutputChannel, eqSwitch_) == kEqSwitchOffset);
    static_assert(offsetof(OutputChannel, delay_) == kDelayOffset);
    static_assert(offsetof(OutputChannel, points_) == kPointsOffset);
    static_assert(offsetof(OutputChannel, inputSelect_) == kInputSelectOffset);
    static_assert(offsetof(OutputChannel, polarity_) == kPolarityOffset);
    static_assert(offsetof(OutputChannel, limiterLevel_) == kLimiterLevelOffset);
    static_assert(offsetof(OutputChannel, limiterAttack_) == kLimiterAttackOffset);
    static_assert(offsetof(OutputChannel, limiterRelease_) == kLimiterReleaseOffset);
    static_assert(offsetof(OutputChannel, lowPassType_) == kLowPassTypeOffset);
    static_assert(offsetof(OutputChannel, lowPassFreq_) == kLowPassFreqOffset);
    static_assert(offsetof(OutputChannel, highPassType_) == kHighPassTypeOffset);
    static_assert(offsetof(OutputChannel, highPassFreq_) == kHighPassFreqOffset);
    static_assert(offsetof(OutputChannel, tail_) == 55);
};

}  // namespace qel
