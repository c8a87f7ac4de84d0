// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/EqPoint.h"

namespace qel {

// One input channel record (68 bytes) of a mode record, byte for byte as stored.
class InputChannel {
public:
    static constexpr size_t kSize = 68;
    static constexpr size_t kGainOffset = 0, kMuteOffset = 1, kEqSwitchOffset = 2,
                            kPointsOffset = 6;
    static constexpr int kPoints = 15;

    uint8_t gain() const { return gain_; }
    void setGain(uint8_t code) { gain_ = code; }
    uint8_t mute() const { return mute_; }  // 0 sound, 1 muted
    void setMute(uint8_t value) { mute_ = value; }
    uint8_t eqSwitch() const { return eqSwitch_; }
    void setEqSwitch(uint8_t value) { eqSwitch_ = value; }

    // Points 0..14; other indices throw std::out_of_range.
    EqPoint& point(int index) { return points_.at(static_cast<size_t>(index)); }
    const EqPoint& point(int index) const { return points_.at(static_cast<size_t>(index)); }

    // What a channel copy takes over: the EQ points and the EQ switch.
    void copyEqFrom(const InputChannel& source);

    friend bool operator==(const InputChannel&, const InputChannel&) = default;

private:
    struct LayoutCheck;

    uint8_t gain_ = 0;
    uint8_t mute_ = 0;
    uint8_t eqSwitch_ = 0;
    std::array<uint8_t, 3> reserved_{};
    std::array<EqPoint, kPoints> points_{};
    std::array<uint8_t, 2> tail_{};
};

struct InputChannel::LayoutCheck {
    static_assert(sizeof(InputChannel) == kSize);
    static_assert(offsetof(InputChannel, gain_) == kGainOffset);
    static_assert(offsetof(InputChannel, mute_) == kMuteOffset);
    static_assert(offsetof(InputChannel, eqSwitch_) == kEqSwitchOffset);
    static_assert(offsetof(InputChannel, points_) == kPointsOffset);
    static_assert(offsetof(InputChannel, tail_) == 66);
};

}  // namespace qel
