// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/Groups.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cmath>

#include "device/ChannelKey.h"
#include "device/JsonChecks.h"
#include "device/Models.h"
#include "device/UnitText.h"
#include "device/ValueCodes.h"

namespace qel {

namespace {

constexpr std::array<const char*, 2> kPolarities = {"normal", "inverted"};
constexpr double kGainDbMax = kGroupGainStepsMax * 0.5;
const double kDelayMsMax = kGroupDelaySamplesMax / kSamplesPerMs;

bool output(const GroupMember& m) {
    return m.channel.side == cmd::Side::Output;
}

std::string memberFields(const GroupMember& m) {
    return "\"unit\": " + jsonString(m.unit) + ", \"model\": \"" +
           std::string(modelName(m.modelCode)) + "\", \"channel\": \"" + channelKeyOf(m.channel) +
           "\"";
}

std::string offsetFields(int gainSteps, bool mute, bool inverted, int delaySamples) {
    return "\"gainDb\": " + jsonNumber(groupGainDb(gainSteps), 1, true) +
           ", \"mute\": " + (mute ? "true" : "false") + ", \"polarity\": \"" +
           kPolarities[inverted ? 1 : 0] +
           "\", \"delayMs\": " + jsonNumber(groupDelayMs(delaySamples), 3, true);
}

std::string groupJson(const Group& g, const std::string& pad) {
    std::string s = pad + "  {\"name\": " + jsonString(g.name) + ", " +
                    offsetFields(g.gainSteps, g.mute, g.inverted, g.delaySamples) +
                    ", \"members\": [";
    for (size_t i = 0; i < g.members.size(); ++i)
        s += (i ? ",\n" : "\n") + pad + "    {" + memberFields(g.members[i]) + "}";
    return s + (g.members.empty() ? "]}" : "\n" + pad + "  ]}");
}

// Reads groups and held shares; each problem is claimed by its group.
class GroupReader : public JsonChecks {
public:
    explicit GroupReader(std::vector<GroupIssue>& issues) : issues_(issues) {}

    std::vector<Group> list(const QJsonValue& v);
    std::vector<HeldShare> heldList(const QJsonValue& v);
    // Hands the problems found so far to the issues as the group's.
    void claim(int group, const std::string& name);

private:
    std::optional<Group> group(const QJsonValue& v, const std::string& path);
    std::optional<GroupMember> member(const QJsonObject& o, const std::string& path);
    std::optional<int> gain(const QJsonObject& o, const std::string& path);
    std::optional<int> delay(const QJsonObject& o, const std::string& path);

    std::vector<GroupIssue>& issues_;
};

void GroupReader::claim(int group, const std::string& name) {
    for (PresetIssue& issue : errors) issues_.push_back({group, name, std::move(issue)});
    errors.clear();
}

std::vector<Group> GroupReader::list(const QJsonValue& v) {
    std::vector<Group> groups;
    const auto a = array(v, "groups", -1);
    claim(-1, {});
    if (!a) return groups;
    for (qsizetype i = 0; i < a->size(); ++i) {
        const std::string path = at("groups", i);
        std::optional<Group> g = group(a->at(i), path);
        const std::string name = g ? g->name : std::string();
        if (g)
            for (size_t k = 0; k < groups.size(); ++k)
                if (groups[k].name == g->name) {
                    error(at(path, "name"), PresetProblem::GroupTwice, {name, std::to_string(k)});
                    break;
                }
        claim(static_cast<int>(i), name);
        groups.push_back(g ? std::move(*g) : Group());
    }
    return groups;
}

std::optional<Group> GroupReader::group(const QJsonValue& v, const std::string& path) {
    const auto o = object(v, path);
    if (!o) return std::nullopt;
    const size_t before = errors.size();
    keys(*o, path, {"name", "gainDb", "mute", "polarity", "delayMs", "members"});
    Group g;
    if (auto n = text(*o, path, "name")) g.name = *n;
    if (auto d = gain(*o, path)) g.gainSteps = *d;
    if (auto m = boolean(*o, path, "mute")) g.mute = *m;
    if (auto p = choice(*o, path, "polarity", kPolarities)) g.inverted = *p == 1;
    if (auto d = delay(*o, path)) g.delaySamples = *d;
    const std::string membersPath = at(path, "members");
    if (const auto members = array(o->value("members"), membersPath, -1))
        for (qsizetype i = 0; i < members->size(); ++i) {
            const std::string mp = at(membersPath, i);
            const auto mo = object(members->at(i), mp);
            if (!mo) continue;
            keys(*mo, mp, {"unit", "model", "channel"});
            const auto m = member(*mo, mp);
            if (!m) continue;
            const auto first = std::find(g.members.begin(), g.members.end(), *m);
            if (first != g.members.end())
                error(mp, PresetProblem::MemberTwice, {std::to_string(first - g.members.begin())});
            else
                g.members.push_back(*m);
        }
    if (errors.size() > before && g.name.empty()) return std::nullopt;
    return g;
}

std::optional<GroupMember> GroupReader::member(const QJsonObject& o, const std::string& path) {
    GroupMember m;
    const auto unit = text(o, path, "unit");
    if (unit && !gbkText(*unit, at(path, "unit"), kUnitTextSize)) return std::nullopt;
    const auto model = text(o, path, "model");
    if (model) {
        m.modelCode = modelCodeOf(*model);
        if (m.modelCode == 0) error(at(path, "model"), PresetProblem::UnknownModel, {*model});
    }
    const auto key = text(o, path, "channel");
    std::optional<cmd::ChannelId> channel = key ? parseChannelKey(*key) : std::nullopt;
    if (key && !channel)
        error(at(path, "channel"), PresetProblem::NotOneOf, {*key, "in:A .. in:D, out:1 .. out:8"});
    if (channel && m.modelCode != 0 && !modelHasChannel(m.modelCode, *channel)) {
        error(at(path, "channel"), PresetProblem::NoSuchChannel, {*key, *model});
        channel.reset();
    }
    if (!unit || !channel || m.modelCode == 0) return std::nullopt;
    m.unit = unpaddedUnitText(*unit);
    m.channel = *channel;
    return m;
}

std::optional<int> GroupReader::gain(const QJsonObject& o, const std::string& path) {
    const auto db = number(o, path, "gainDb", -kGainDbMax, kGainDbMax, 0, "dB");
    if (!db) return std::nullopt;
    return groupGainSteps(*db);
}

std::optional<int> GroupReader::delay(const QJsonObject& o, const std::string& path) {
    const auto ms = number(o, path, "delayMs", -kDelayMsMax, kDelayMsMax, 0, "ms");
    if (!ms) return std::nullopt;
    return groupDelaySamples(*ms);
}

std::vector<HeldShare> GroupReader::heldList(const QJsonValue& v) {
    std::vector<HeldShare> held;
    const auto a = array(v, "held", -1);
    if (!a) return held;
    for (qsizetype i = 0; i < a->size(); ++i) {
        const std::string path = at("held", i);
        const auto o = object(a->at(i), path);
        if (!o) continue;
        keys(*o, path,
             {"unit", "model", "channel", "gainDb", "mute", "polarity", "delayMs", "ownMute"});
        HeldShare h;
        const auto m = member(*o, path);
        const auto g = gain(*o, path);
        const auto d = delay(*o, path);
        const auto mute = boolean(*o, path, "mute");
        const auto own = boolean(*o, path, "ownMute");
        const auto polarity = choice(*o, path, "polarity", kPolarities);
        if (!m || !g || !d || !mute || !own || !polarity) continue;
        h.channel = *m;
        h.share = {*g, *d, *polarity == 1, *mute};
        h.ownMute = *own;
        held.push_back(h);
    }
    claim(-1, {});
    return held;
}

}  // namespace

bool Group::has(const GroupMember& member) const {
    return std::find(members.begin(), members.end(), member) != members.end();
}

Group* GroupSet::find(std::string_view name) {
    for (Group& g : groups)
        if (g.name == name) return &g;
    return nullptr;
}

const Group* GroupSet::find(std::string_view name) const {
    return const_cast<GroupSet*>(this)->find(name);
}

GroupShare GroupSet::wanted(const GroupMember& channel) const {
    GroupShare s;
    for (const Group& g : groups) {
        if (!g.has(channel)) continue;
        s.gainSteps += g.gainSteps;
        s.muted = s.muted || g.mute;
        if (!output(channel)) continue;
        s.delaySamples += g.delaySamples;
        s.inverted = s.inverted != g.inverted;
    }
    return s;
}

const HeldShare* GroupSet::heldEntryOf(const GroupMember& channel) const {
    for (const HeldShare& h : held)
        if (h.channel == channel) return &h;
    return nullptr;
}

GroupShare GroupSet::heldShare(const GroupMember& channel) const {
    const HeldShare* h = heldEntryOf(channel);
    return h ? h->share : GroupShare();
}

HeldShare& GroupSet::heldEntry(const GroupMember& channel) {
    for (HeldShare& h : held)
        if (h.channel == channel) return h;
    held.push_back({channel, {}, false});
    return held.back();
}

std::vector<GroupMember> GroupSet::channels() const {
    std::vector<GroupMember> out;
    const auto add = [&out](const GroupMember& m) {
        if (std::find(out.begin(), out.end(), m) == out.end()) out.push_back(m);
    };
    for (const Group& g : groups)
        for (const GroupMember& m : g.members) add(m);
    for (const HeldShare& h : held) add(h.channel);
    return out;
}

void GroupSet::dropSettled() {
    std::erase_if(held, [this](const HeldShare& h) {
        return h.share.zero() && std::none_of(groups.begin(), groups.end(),
                                              [&](const Group& g) { return g.has(h.channel); });
    });
}

std::string groupListJson(const std::vector<Group>& groups, const std::string& pad) {
    std::string s = "[";
    for (size_t i = 0; i < groups.size(); ++i) s += (i ? ",\n" : "\n") + groupJson(groups[i], pad);
    return s + (groups.empty() ? "]" : "\n" + pad + "]");
}

QByteArray groupsJson(const GroupSet& set) {
    std::string s = "{\n  \"format\": \"" + std::string(kGroupsFormat) +
                    "\",\n  \"version\": " + std::to_string(kGroupsVersion) +
                    ",\n  \"groups\": " + groupListJson(set.groups, "  ") + ",\n  \"held\": [";
    for (size_t i = 0; i < set.held.size(); ++i) {
        const HeldShare& h = set.held[i];
        s +=
            (i ? ",\n" : "\n") + std::string("    {") + memberFields(h.channel) + ", " +
            offsetFields(h.share.gainSteps, h.share.muted, h.share.inverted, h.share.delaySamples) +
            ", \"ownMute\": " + (h.ownMute ? "true" : "false") + "}";
    }
    s += set.held.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return QByteArray::fromStdString(s);
}

std::vector<Group> readGroupList(const QJsonValue& list, std::vector<GroupIssue>& errors) {
    return GroupReader(errors).list(list);
}

GroupsRead readGroupsJson(const QByteArray& json) {
    GroupsRead read;
    GroupReader reader(read.errors);
    if (const auto root = jsonRoot(json, reader.errors)) {
        reader.keys(*root, "", {"format", "version", "groups"}, {"held"});
        reader.formatAndVersion(*root, kGroupsFormat, kGroupsVersion);
        reader.claim(-1, {});
        read.set.groups = reader.list(root->value("groups"));
        read.set.held = reader.heldList(root->value("held"));
    }
    reader.claim(-1, {});
    if (!read.ok()) read.set = {};
    return read;
}

int groupGainSteps(double db) {
    return static_cast<int>(std::lround(db * 2.0));
}

double groupDelayMs(int samples) {
    return samples / kSamplesPerMs;
}

int groupDelaySamples(double ms) {
    return static_cast<int>(std::lround(ms * kSamplesPerMs));
}

FittedOffset fitOffset(int want, int current, const std::vector<std::pair<int, int>>& ranges) {
    if (ranges.empty()) return {want, std::nullopt};
    size_t lowBy = 0, highBy = 0;
    for (size_t i = 1; i < ranges.size(); ++i) {
        if (ranges[i].first > ranges[lowBy].first) lowBy = i;
        if (ranges[i].second < ranges[highBy].second) highBy = i;
    }
    const int lo = ranges[lowBy].first, hi = ranges[highBy].second;
    if (lo > hi) return {current, lowBy};  // no offset fits every member
    if (want < lo) return {lo, lowBy};
    if (want > hi) return {hi, highBy};
    return {want, std::nullopt};
}

}  // namespace qel
