// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>

namespace qel {

// Milliseconds on a steady clock; wraps after about 49 days like any 32-bit tick.
uint32_t tickMs();

// Sleeps at least the given number of milliseconds.
void sleepMs(uint32_t ms);

}  // namespace qel
