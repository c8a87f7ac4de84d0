// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/OutputChannel.h"

#include "device/ValueCodes.h"

namespace qel {

uint16_t OutputChannel::delay() const {
    return static_cast<uint16_t>(delay_[0] | (delay_[1] << 8));
}

void OutputChannel::setDelay(uint16_t samples) {
    delay_[0] = static_cast<uint8_t>(samples & 0xFF);
    delay_[1] = static_cast<uint8_t>(samples >> 8);
}

void OutputChannel::setLowPassType(uint8_t type) {
    lowPassType_ = clampCrossoverType(type);
}
void OutputChannel::setHighPassType(uint8_t type) {
    highPassType_ = clampCrossoverType(type);
}

void OutputChannel::copyEqAndFiltersFrom(const OutputChannel& source) {
    points_ = source.points_;
    eqSwitch_ = source.eqSwitch_;
    lowPassType_ = source.lowPassType_;
    lowPassFreq_ = source.lowPassFreq_;
    highPassType_ = source.highPassType_;
    highPassFreq_ = source.highPassFreq_;
}

}  // namespace qel
