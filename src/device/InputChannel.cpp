// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/InputChannel.h"

namespace qel {

void InputChannel::copyEqFrom(const InputChannel& source) {
    points_ = source.points_;
    eqSwitch_ = source.eqSwitch_;
}

}  // namespace qel
