// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ModeImage.h"

#include <cstring>
#include <stdexcept>
#include <type_traits>

#include "device/FixedText.h"

namespace qel {

static_assert(std::is_trivially_copyable_v<ModeImage>);

uint32_t ModeImage::currentMode() const {
    uint32_t v = 0;
    for (size_t i = 0; i < currentMode_.size(); ++i) v |= uint32_t{currentMode_[i]} << (8 * i);
    return v;
}

void ModeImage::setCurrentMode(uint32_t mode) {
    for (size_t i = 0; i < currentMode_.size(); ++i)
        currentMode_[i] = static_cast<uint8_t>(mode >> (8 * i));
}

std::string ModeImage::deviceModeName(int index) const {
    return readFixedText(modeNames_.at(static_cast<size_t>(index)).data(), kMaxModeNameLength);
}

void ModeImage::setDeviceModeName(int index, std::string_view name) {
    NameField& field = modeNames_.at(static_cast<size_t>(index));
    writeFixedText(field.data(), field.size(), kMaxModeNameLength, name);
}

uint8_t ModeImage::inputMeter(int index) const {
    if (index < 0 || index >= kMaxInputs) throw std::out_of_range("input meter index");
    return meters_[static_cast<size_t>(index)];
}

uint8_t ModeImage::outputMeter(int index) const {
    if (index < 0 || index >= kMaxOutputs) throw std::out_of_range("output meter index");
    return meters_[static_cast<size_t>(kMaxInputs) + static_cast<size_t>(index)];
}

void ModeImage::setMeters(const uint8_t* levels) {
    std::memcpy(meters_.data(), levels, meters_.size());
}

void ModeImage::toBytes(uint8_t* out) const {
    std::memcpy(out, this, kSize);
}

ModeImage ModeImage::fromBytes(const uint8_t* bytes) {
    ModeImage image;
    std::memcpy(&image, bytes, kSize);
    return image;
}

}  // namespace qel
