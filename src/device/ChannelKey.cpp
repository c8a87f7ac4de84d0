// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ChannelKey.h"

#include "device/Models.h"

namespace qel {

std::optional<cmd::ChannelId> parseChannelKey(std::string_view c) {
    if (c.size() == 4 && c.substr(0, 3) == "in:" && c[3] >= 'A' && c[3] <= 'D')
        return cmd::inputChannel(c[3] - 'A' + 1);
    if (c.size() == 5 && c.substr(0, 4) == "out:" && c[4] >= '1' && c[4] <= '8')
        return cmd::outputChannel(c[4] - '0');
    return std::nullopt;
}

std::string channelKeyOf(const cmd::ChannelId& c) {
    return c.side == cmd::Side::Input ? std::string("in:") + static_cast<char>('A' + c.number - 1)
                                      : "out:" + std::to_string(c.number);
}

bool modelHasChannel(uint32_t model, const cmd::ChannelId& c) {
    const bool input = c.side == cmd::Side::Input;
    return c.number >= 1 && c.number <= (input ? inputCount(model) : outputCount(model));
}

}  // namespace qel
