// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>

namespace qel::cli {

// Ctrl+C during a long transfer: from this call on, the first SIGINT sets the returned flag,
// which the transfers take as a cancel (they stop sending and let go of their units the
// orderly way); a second one ends the program at once, as usual.
const std::atomic<bool>* catchInterrupt();
// For a command that runs until told to stop: SIGINT, SIGTERM and SIGHUP set the flag.
const std::atomic<bool>* catchTermination();

}  // namespace qel::cli
