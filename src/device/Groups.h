// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QJsonValue>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/ParamCommands.h"
#include "device/PresetJson.h"

namespace qel {

// Groups of channels across units (docs/groups-format.md). A group moves its members' gain,
// mute, polarity and delay together: it carries an offset of each, and a channel in several
// groups takes the sum of their gains and delays, the OR of their mutes and the XOR of their
// flips. The unit always holds the whole value (its own plus the groups' share); what it was
// last sent of the groups is kept beside the groups, so that its own value is what it holds
// less that share, and a share that could not be sent (the unit away) goes when it is back.
// Polarity and delay exist on outputs only; an input member takes gain and mute. Plain data
// and maths, any thread.

// One channel of one unit, found by the unit's name and model.
struct GroupMember {
    std::string unit;  // the unit's device name in UTF-8, without the field's padding
    uint32_t modelCode = 0;
    cmd::ChannelId channel;
    friend bool operator==(const GroupMember&, const GroupMember&) = default;
};

struct Group {
    std::string name;   // UTF-8, unique among the groups
    int gainSteps = 0;  // 0.5 dB steps
    bool mute = false;
    bool inverted = false;
    int delaySamples = 0;  // 48 kHz samples; may be negative
    std::vector<GroupMember> members{};
    bool has(const GroupMember& member) const;
};

// What groups add to one channel.
struct GroupShare {
    int gainSteps = 0;
    int delaySamples = 0;
    bool inverted = false;  // an odd number of flips
    bool muted = false;
    bool zero() const { return *this == GroupShare(); }
    friend bool operator==(const GroupShare&, const GroupShare&) = default;
};

// What a channel holds of the groups: the share last sent to it and, while a group mutes
// it, the mute it had of its own before (the unit's one mute field holds own OR groups).
struct HeldShare {
    GroupMember channel;
    GroupShare share;
    bool ownMute = false;
};

// Offsets a group may carry: a gain or delay offset past these fits no member.
constexpr int kGroupGainStepsMax = 124;       // 62 dB either way
constexpr int kGroupDelaySamplesMax = 32736;  // 682 ms either way

struct GroupSet {
    std::vector<Group> groups;
    std::vector<HeldShare> held;

    Group* find(std::string_view name);
    const Group* find(std::string_view name) const;
    // The share every group listing the channel asks of it (inputs: gain and mute only).
    GroupShare wanted(const GroupMember& channel) const;
    // The share the channel holds; zero when none was sent.
    GroupShare heldShare(const GroupMember& channel) const;
    // The channel's entry, made when it has none.
    HeldShare& heldEntry(const GroupMember& channel);
    const HeldShare* heldEntryOf(const GroupMember& channel) const;
    // Each channel that a group lists or that holds a share, once.
    std::vector<GroupMember> channels() const;
    // Drops the held entries of channels no group lists that hold nothing any more.
    void dropSettled();
};

// A problem of a groups list: the group it belongs to (-1: the document), by its name when
// that could be read, and the preset-style issue with its path from the root
// ("groups[1].members[0].channel").
struct GroupIssue {
    int group = -1;
    std::string groupName;
    PresetIssue issue;
};

struct GroupsRead {
    GroupSet set;
    std::vector<GroupIssue> errors;  // nothing of the file is to be used when there are any
    bool ok() const { return errors.empty(); }
};

inline constexpr std::string_view kGroupsFormat = "quellmar-groups";
constexpr int kGroupsVersion = 1;

QByteArray groupsJson(const GroupSet& set);
GroupsRead readGroupsJson(const QByteArray& json);

// The "groups" list as a document holds it at its root, lines after the first moved right
// by pad.
std::string groupListJson(const std::vector<Group>& groups, const std::string& pad);
// Reads a "groups" list found at the root; its problems are added to errors.
std::vector<Group> readGroupList(const QJsonValue& list, std::vector<GroupIssue>& errors);

// dB and ms as the file and the front ends give them.
inline double groupGainDb(int steps) {
    return steps * 0.5;
}
int groupGainSteps(double db);  // nearest 0.5 dB step
double groupDelayMs(int samples);
int groupDelaySamples(double ms);  // nearest sample, negative ones too

// The offset nearest to want that keeps every member within its range: ranges[i] is the
// lowest and highest offset member i can take. limitedBy is the member whose bound stopped
// it; none when want fits every member. Ranges that leave no common offset keep current.
struct FittedOffset {
    int value = 0;
    std::optional<size_t> limitedBy;
};
FittedOffset fitOffset(int want, int current, const std::vector<std::pair<int, int>>& ranges);

}  // namespace qel
