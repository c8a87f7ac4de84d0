// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/TitleLinks.h"

#include <bit>

namespace qel {

std::optional<TitleLinks::Report> TitleLinks::pressIcon(int s, int b,
                                                        const std::function<bool()>& confirmBind) {
    if (!holds(s, s)) {
        // Not ready to link: only the selected channel's own icon acts, and makes it ready.
        if (b == s) words_.at(s) = static_cast<std::uint16_t>(bit(s));
        return std::nullopt;
    }
    if (b == s) return dissolve(s);
    if (holds(b, s)) return takeOut(s, b);
    if (!confirmBind()) return std::nullopt;
    return bind(s, b);
}

int TitleLinks::holdersOf(int channel) const {
    int n = 0;
    for (int c = 0; c < kChannels; ++c) n += holds(c, channel) ? 1 : 0;
    return n;
}

void TitleLinks::copyToGroup(int s) {
    for (int c = 0; c < kChannels; ++c) {
        if (holds(c, s)) words_.at(c) = words_.at(s);
    }
}

void TitleLinks::freeGroup(int group) {
    if (group >= 1 && group <= kGroups) used_.at(group - 1) = false;
}

TitleLinks::Report TitleLinks::dissolve(int s) {
    if (holdersOf(s) > 1) freeGroup(group(s));
    for (int c = 0; c < kChannels; ++c) {
        if (holds(c, s)) words_.at(c) = 0;
    }
    mask_ = 0;
    return {s + 1, 0};
}

TitleLinks::Report TitleLinks::takeOut(int s, int b) {
    const bool pair = std::popcount(static_cast<unsigned>(members(s))) == 2;
    if (pair) {
        freeGroup(group(s));
        words_.at(s) &= 0x00FF;
    }
    words_.at(b) = 0;
    words_.at(s) &= static_cast<std::uint16_t>(~bit(b));
    copyToGroup(s);
    mask_ = pair ? 0 : members(s);
    return {s + 1, mask_};
}

TitleLinks::Report TitleLinks::bind(int s, int b) {
    removeFromGroups(b);
    if (holdersOf(s) == 1) {
        freeGroup(group(s));
        int g = 1;
        while (g < kGroups && used_.at(g - 1)) ++g;
        used_.at(g - 1) = true;
        words_.at(s) = static_cast<std::uint16_t>(members(s) | g << 8);
    }
    words_.at(b) = static_cast<std::uint16_t>(bit(s));
    words_.at(s) |= static_cast<std::uint16_t>(bit(b));
    copyToGroup(s);
    mask_ = members(s);
    return {(s + 1) + 256 * (b + 1), mask_};
}

// b leaves whatever group it was in; a channel left alone in its group loses the number.
void TitleLinks::removeFromGroups(int b) {
    words_.at(b) = 0;
    for (auto& w : words_) w &= static_cast<std::uint16_t>(~bit(b));
    for (int c = 0; c < kChannels; ++c) {
        if (holdersOf(c) == 1 && group(c) != 0) {
            freeGroup(group(c));
            words_.at(c) &= 0x00FF;
        }
    }
}

}  // namespace qel
