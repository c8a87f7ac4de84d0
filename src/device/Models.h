// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>

#include "link/Protocol.h"

namespace qel {

// Every layout keeps room for this many channels whatever the model.
constexpr int kMaxInputs = 4;
constexpr int kMaxOutputs = 8;

// Channels the model uses; 0 for an unknown code.
int inputCount(uint32_t modelCode);
int outputCount(uint32_t modelCode);

}  // namespace qel
