// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ChannelOption.h"

#include "device/ChannelKey.h"

namespace qel::cli {

std::optional<cmd::ChannelId> parseChannel(const std::string& c) {
    return parseChannelKey(c);
}

std::string channelName(const cmd::ChannelId& c) {
    return c.side == cmd::Side::Input
               ? std::string("input ") + static_cast<char>('A' + c.number - 1)
               : "output " + std::to_string(c.number);
}

bool modelHasChannel(uint32_t model, const cmd::ChannelId& c) {
    return qel::modelHasChannel(model, c);
}

}  // namespace qel::cli
