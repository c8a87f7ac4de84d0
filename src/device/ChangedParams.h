// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <vector>

#include "device/ParamEdit.h"

namespace qel {

// The parameters that changed record runs hold new values for, each once: a channel's gain,
// mute, EQ switch, each EQ point (point set), delay, input choice, polarity, limiter values
// and filters. Bytes outside the channels' settings and bytes a run leaves as they were are
// passed over. For a listener that shows some of them.
std::vector<ParamEdit::Subject> changedParams(const std::vector<ParamEdit::Change>& runs);

}  // namespace qel
