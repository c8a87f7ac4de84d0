// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>

namespace qel {

// The slope of one crossover type (0..8, in the order of the type list) in low-pass
// orientation: attenuation in pixels below the 0 dB line, one value per curve column step of
// 3.4 / 256 decade. Index 151 is the cutoff frequency. Each shape is 0 at its low end and never
// falls; the 24 and 36 dB shapes level off at a ceiling.
using XoverShape = std::array<float, 256>;
inline constexpr int kXoverShapeCount = 9;
inline constexpr int kXoverCutoffIndex = 151;

// The nine shapes, built on first use and kept for the run. Safe from any thread.
const std::array<XoverShape, kXoverShapeCount>& XoverShapeTables();

}  // namespace qel
