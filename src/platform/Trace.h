// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdio>

namespace qel {

// Console text attributes of the diagnostic trace: 15 bright white for headers, 7 otherwise.
enum class TraceAttr { Normal = 7, Header = 15 };

// Writes one formatted diagnostic (at most 1027 characters) to the trace output with the
// attribute, then sets the attribute back to normal. ANSI colours are used only when the
// output is a terminal. Safe from any thread.
void trace(TraceAttr attr, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The second hook used for step labels: it formats its text and discards it unless a step
// output has been chosen.
void traceStep(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where the trace goes: standard output by default; nullptr silences it.
void setTraceOutput(std::FILE* out);
void setStepTraceOutput(std::FILE* out);

}  // namespace qel
