// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QJsonArray>

#include "device/ModeRecord.h"
#include "device/ParamCommands.h"

namespace qel {

// A channel's EQ response as the EQ page draws it (its points and, on an output, both
// crossover filters), in dB to 0.1 at the curve's 256 columns: 10^(1 + 3.4 j / 256) Hz.
QJsonArray channelCurve(const ModeRecord& record, cmd::ChannelId channel);

}  // namespace qel
