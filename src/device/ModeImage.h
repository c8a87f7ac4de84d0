// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/ModeRecord.h"

namespace qel {

// The parameter image of one connected unit, 1676 bytes: a reserved leading area, the mode
// record, the number of the mode the unit runs, the names of the unit's 20 stored modes and
// the last meter readings. Plain data without locking: one thread owns it at a time.
class ModeImage {
public:
    static constexpr size_t kSize = 1676;
    static constexpr size_t kRecordOffset = 244, kCurrentModeOffset = 1020, kModeNamesOffset = 1024,
                            kMetersOffset = 1664;
    static constexpr int kDeviceModes = 20, kMeters = 12;
    static constexpr size_t kModeNameField = 32, kMaxModeNameLength = 20;

    ModeRecord& record() { return record_; }
    const ModeRecord& record() const { return record_; }

    // 0-based, as the unit reports it; stored little-endian.
    uint32_t currentMode() const;
    void setCurrentMode(uint32_t mode);

    // Names of the unit's stored modes 0..19 (others throw std::out_of_range), at most 20
    // bytes each.
    std::string deviceModeName(int index) const;
    void setDeviceModeName(int index, std::string_view name);

    // Meter slots: inputs 1..4 in slots 0..3, outputs 1..8 in slots 4..11.
    uint8_t meter(int slot) const { return meters_.at(static_cast<size_t>(slot)); }
    uint8_t inputMeter(int index) const;    // 0-based input
    uint8_t outputMeter(int index) const;   // 0-based output
    void setMeters(const uint8_t* levels);  // kMeters bytes, as the unit sends them

    void toBytes(uint8_t* out) const;  // exactly kSize bytes
    static ModeImage fromBytes(const uint8_t* bytes);

    friend bool operator==(const ModeImage&, const ModeImage&) = default;

private:
    struct LayoutCheck;
    using NameField = std::array<uint8_t, kModeNameField>;

    std::array<uint8_t, kRecordOffset> leading_{};
    ModeRecord record_{};
    std::array<uint8_t, 4> currentMode_{};
    std::array<NameField, kDeviceModes> modeNames_{};
    std::array<uint8_t, kMeters> meters_{};
};

struct ModeImage::LayoutCheck {
    static_assert(sizeof(ModeImage) == kSize);
    static_assert(offsetof(ModeImage, record_) == kRecordOffset);
    static_assert(offsetof(ModeImage, currentMode_) == kCurrentModeOffset);
    static_assert(offsetof(ModeImage, modeNames_) == kModeNamesOffset);
    static_assert(offsetof(ModeImage, meters_) == kMetersOffset);
    static_assert(kMetersOffset + kMeters == kSize);
};

}  // namespace qel
