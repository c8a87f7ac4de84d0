// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace qel {

// The link groups of one channel tab of the title strip. Each of the eight channels has a
// link word: low byte = the channels of its group (bit i = channel i, itself included), high
// byte = the group number 1..4, 0 for none. All members of a group hold the same word.
// A channel starts with word 0 and may start a group only after its own icon was pressed
// while it was selected. No widgets here.
class TitleLinks {
public:
    static constexpr int kChannels = 8;
    static constexpr int kGroups = 4;

    // What the strip passes on to its callback after a press that changed the groups.
    struct Report {
        int value;  // (s + 1), or (s + 1) + 256 * (b + 1) after binding b to s
        int mask;   // the new current link mask
    };

    std::uint16_t word(int channel) const { return words_.at(channel); }
    int members(int channel) const { return words_.at(channel) & 0xFF; }
    int group(int channel) const { return words_.at(channel) >> 8; }
    bool holds(int channel, int member) const { return members(channel) & bit(member); }
    bool groupInUse(int group) const { return used_.at(group - 1); }
    int linkMask() const { return mask_; }

    // Press on the link icon of channel b while channel s is selected. confirmBind is asked
    // before b joins s's group and must say yes. Returns the report when a group changed.
    std::optional<Report> pressIcon(int s, int b, const std::function<bool()>& confirmBind);

private:
    static int bit(int channel) { return 1 << channel; }
    int holdersOf(int channel) const;
    void copyToGroup(int s);
    void freeGroup(int group);
    Report dissolve(int s);
    Report takeOut(int s, int b);
    Report bind(int s, int b);
    void removeFromGroups(int b);

    std::array<std::uint16_t, kChannels> words_{};
    std::array<bool, kGroups> used_{};
    int mask_ = 0;
};

}  // namespace qel
