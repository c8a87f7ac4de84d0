// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "device/ParamCommands.h"

namespace qel::cli {

// The --channel of import-eq and export-eq: "in:A" .. "in:D", "out:1" .. "out:8".
std::optional<cmd::ChannelId> parseChannel(const std::string& text);
// "input A", "output 3".
std::string channelName(const cmd::ChannelId& channel);
// Whether a unit of the model has the channel.
bool modelHasChannel(uint32_t model, const cmd::ChannelId& channel);

}  // namespace qel::cli
