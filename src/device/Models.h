// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <string_view>

#include "link/Protocol.h"

namespace qel {

// Every layout keeps room for this many channels whatever the model.
constexpr int kMaxInputs = 4;
constexpr int kMaxOutputs = 8;

// Channels the model uses; 0 for an unknown code.
int inputCount(uint32_t modelCode);
int outputCount(uint32_t modelCode);
// The code of "QD206", "QD406" or "QD408"; 0 for any other name.
uint32_t modelCodeOf(std::string_view name);

}  // namespace qel
