// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/ParamCommands.h"

namespace qel {

// A channel as files, options and the remote page name it: "in:A" .. "in:D", "out:1" ..
// "out:8".
std::optional<cmd::ChannelId> parseChannelKey(std::string_view text);
std::string channelKeyOf(const cmd::ChannelId& channel);
// Whether a unit of the model has the channel.
bool modelHasChannel(uint32_t model, const cmd::ChannelId& channel);

}  // namespace qel
