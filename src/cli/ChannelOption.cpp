// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ChannelOption.h"

#include "device/Models.h"

namespace qel::cli {

std::optional<cmd::ChannelId> parseChannel(const std::string& c) {
    if (c.size() == 4 && c.rfind("in:", 0) == 0 && c[3] >= 'A' && c[3] <= 'D')
        return cmd::inputChannel(c[3] - 'A' + 1);
    if (c.size() == 5 && c.rfind("out:", 0) == 0 && c[4] >= '1' && c[4] <= '8')
        return cmd::outputChannel(c[4] - '0');
    return std::nullopt;
}

std::string channelName(const cmd::ChannelId& c) {
    return c.side == cmd::Side::Input
               ? std::string("input ") + static_cast<char>('A' + c.number - 1)
               : "output " + std::to_string(c.number);
}

bool modelHasChannel(uint32_t model, const cmd::ChannelId& c) {
    const bool input = c.side == cmd::Side::Input;
    return c.number <= (input ? inputCount(model) : outputCount(model));
}

}  // namespace qel::cli
