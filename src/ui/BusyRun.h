// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <functional>

namespace qel {

// Blocking steps that the window must not stall on. Both return when done; meanwhile the
// GUI thread keeps painting and handling timers, and user input waits until afterwards.
// GUI thread only.
void runBusy(const std::function<void()>& work);  // work runs on a worker thread
void pauseBusy(uint32_t ms);

}  // namespace qel
