// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/GroupControl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#include "device/ChannelKey.h"
#include "device/GbkText.h"
#include "device/ModeImage.h"
#include "device/UnitSessions.h"
#include "device/UnitText.h"
#include "device/ValueCodes.h"
#include "link/Equipment.h"

namespace qel {

namespace {

bool isOutput(const GroupMember& m) {
    return m.channel.side == cmd::Side::Output;
}

}  // namespace

GroupControl::FindUnit GroupControl::among(std::vector<std::shared_ptr<Equipment>> units) {
    return [units = std::move(units)](const std::string& name, uint32_t model) {
        for (const auto& u : units)
            if (u->modelCode() == model && unitName(*u) == name) return u;
        return std::shared_ptr<Equipment>();
    };
}

std::string GroupControl::unitName(const Equipment& unit) {
    return unpaddedUnitText(decodeGbk(unpaddedUnitText(unit.deviceName())));
}

GroupControl::GroupControl(UnitSessions& sessions, FindUnit find, QObject* parent)
    : QObject(parent), sessions_(sessions), find_(std::move(find)) {
    for (UnitSession* s : sessions_.all()) watch(s);
    connect(&sessions_, &UnitSessions::opened, this, [this](UnitSession* s) {
        watch(s);
        sendPendingSoon();
        emit changed();
    });
    connect(&sessions_, &UnitSessions::closing, this, [this] { emit changed(); });
}

GroupControl::~GroupControl() {
    if (drag_ && drag_->dirty) save();
}

void GroupControl::watch(UnitSession* session) {
    connect(session, &UnitSession::linkRestored, this, &GroupControl::sendPendingSoon);
    connect(session, &UnitSession::busyChanged, this, [this](bool busy) {
        if (!busy) sendPendingSoon();
    });
}

void GroupControl::sendPendingSoon() {
    if (pendingQueued_) return;
    pendingQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pendingQueued_ = false;
            sendPending();
        },
        Qt::QueuedConnection);
}

// ---- the file

GroupControl::LoadResult GroupControl::load(const QString& path) {
    LoadResult result;
    QFile file(path);
    GroupsRead read;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            result.fileError = file.errorString();
            return result;
        }
        read = readGroupsJson(file.readAll());
        if (!read.ok()) {
            result.errors = std::move(read.errors);
            return result;
        }
    }
    if (drag_) endDrag();
    set_ = std::move(read.set);
    path_ = path;
    sendPendingSoon();
    emit changed();
    return result;
}

bool GroupControl::save() {
    if (path_.isEmpty()) return true;
    if (drag_) drag_->dirty = false;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (file.open(QIODevice::WriteOnly) && file.write(groupsJson(set_)) >= 0 && file.commit()) {
        saveError_.clear();
        return true;
    }
    saveError_ = file.errorString();
    emit saveFailed(saveError_);
    return false;
}

void GroupControl::adopt(std::vector<Group> groups,
                         const std::function<bool(const GroupMember&)>& tookShow) {
    if (drag_) endDrag();
    GroupSet next;
    next.groups = std::move(groups);
    for (const GroupMember& channel : next.channels()) {
        if (!tookShow(channel)) continue;
        HeldShare& h = next.heldEntry(channel);
        h.share = next.wanted(channel);
        h.ownMute = false;
    }
    for (const HeldShare& h : set_.held)
        if (!tookShow(h.channel) && !next.heldEntryOf(h.channel)) next.held.push_back(h);
    set_ = std::move(next);
    set_.dropSettled();
    save();
    sendPendingSoon();
    emit changed();
}

void GroupControl::store() {
    if (drag_)
        drag_->dirty = true;
    else
        save();
}

// ---- what the members are

UnitSession* GroupControl::sessionOf(const GroupMember& m) const {
    const std::shared_ptr<Equipment> unit = find_ ? find_(m.unit, m.modelCode) : nullptr;
    return unit ? sessions_.of(*unit) : nullptr;
}

UnitSession* GroupControl::reachable(const GroupMember& m) const {
    UnitSession* s = sessionOf(m);
    if (!s || s->busy() || s->unit().state() == Equipment::State::NotConnected) return nullptr;
    return s;
}

const ModeRecord* GroupControl::knownRecord(const GroupMember& m) const {
    const UnitSession* s = sessionOf(m);
    return s ? &s->image()->record() : nullptr;
}

std::optional<GroupControl::Values> GroupControl::heldValues(const GroupMember& m) const {
    const ModeRecord* r = knownRecord(m);
    if (!r) return std::nullopt;
    const int i = m.channel.number - 1;
    if (!isOutput(m)) return Values{gainDb(r->input(i).gain()), r->input(i).mute() != 0};
    const OutputChannel& o = r->output(i);
    return Values{gainDb(o.gain()), o.mute() != 0, o.polarity() != 0, delayMs(o.delay())};
}

std::vector<std::string> GroupControl::groupNames() const {
    std::vector<std::string> names;
    for (const Group& g : set_.groups) names.push_back(g.name);
    return names;
}

GroupControl::MemberView GroupControl::member(const GroupMember& m) const {
    MemberView v;
    v.member = m;
    const GroupShare wanted = set_.wanted(m);
    v.share = {groupGainDb(wanted.gainSteps), wanted.muted, wanted.inverted,
               groupDelayMs(wanted.delaySamples)};
    const bool found = find_ && find_(m.unit, m.modelCode);
    v.state = !found                                        ? MemberState::Missing
              : reachable(m) && set_.heldShare(m) == wanted ? MemberState::Online
                                                            : MemberState::Pending;
    v.held = heldValues(m);
    if (v.held) {
        const HeldShare* h = set_.heldEntryOf(m);
        const GroupShare got = h ? h->share : GroupShare();
        v.own = Values{v.held->gainDb - groupGainDb(got.gainSteps),
                       got.muted ? h->ownMute : v.held->mute, v.held->inverted != got.inverted,
                       v.held->delayMs - groupDelayMs(got.delaySamples)};
    }
    return v;
}

std::vector<GroupControl::MemberView> GroupControl::members(const std::string& group) const {
    std::vector<MemberView> out;
    if (const Group* g = set_.find(group))
        for (const GroupMember& m : g->members) out.push_back(member(m));
    return out;
}

// ---- sending

bool GroupControl::sendShare(const GroupMember& ch, const std::string& by) {
    const GroupShare want = set_.wanted(ch);
    if (set_.heldShare(ch) == want) return true;
    UnitSession* s = reachable(ch);
    if (!s) return false;
    HeldShare& h = set_.heldEntry(ch);
    ParamEdit& edit = s->edit();
    const ParamEdit::OriginScope scope(edit, {ParamEdit::Origin::Kind::Group, 0, by});
    const ModeRecord& r = edit.image().record();
    const int i = ch.channel.number - 1;
    const bool out = isOutput(ch);
    const int code = out ? r.output(i).gain() : r.input(i).gain();
    const bool muted = (out ? r.output(i).mute() : r.input(i).mute()) != 0;
    if (want.gainSteps != h.share.gainSteps) {
        // What the unit can hold of the share; the rest waits, its own value stays.
        const int own = code - h.share.gainSteps;
        const int target = std::clamp(own + want.gainSteps, 0, int(kGainCodeMax));
        if (target != code) edit.setGain(ch.channel, static_cast<uint8_t>(target));
        h.share.gainSteps = target - own;
    }
    if (want.muted != h.share.muted) {
        if (want.muted) {
            h.ownMute = muted;
            if (!muted) edit.setMute(ch.channel, 1);
        } else if (muted != h.ownMute) {
            edit.setMute(ch.channel, h.ownMute ? 1 : 0);
        }
        h.share.muted = want.muted;
    }
    if (out && want.inverted != h.share.inverted) {
        edit.setPolarity(ch.channel.number, r.output(i).polarity() ? 0 : 1);
        h.share.inverted = want.inverted;
    }
    if (out && want.delaySamples != h.share.delaySamples) {
        const int now = r.output(i).delay();
        const int own = now - h.share.delaySamples;
        const int target = std::clamp(own + want.delaySamples, 0, int(kDelaySamplesMax));
        if (target != now) edit.setDelay(ch.channel.number, static_cast<uint16_t>(target));
        h.share.delaySamples = target - own;
    }
    return h.share == want;
}

void GroupControl::sendPending() {
    bool sent = false;
    for (const GroupMember& ch : set_.channels()) {
        const GroupShare before = set_.heldShare(ch);
        if (before == set_.wanted(ch)) continue;
        std::string by;
        for (const Group& g : set_.groups)
            if (g.has(ch)) {
                by = g.name;
                break;
            }
        sendShare(ch, by);
        sent = sent || !(set_.heldShare(ch) == before);
    }
    if (!sent) return;
    set_.dropSettled();
    store();
    emit changed();
}

void GroupControl::newGestures(const Group& group) {
    for (const GroupMember& m : group.members)
        if (UnitSession* s = sessionOf(m)) s->history().newGesture();
}

double GroupControl::offsetOf(const Group& g, Field field) const {
    switch (field) {
        case Field::Gain:
            return groupGainDb(g.gainSteps);
        case Field::Mute:
            return g.mute ? 1 : 0;
        case Field::Polarity:
            return g.inverted ? 1 : 0;
        case Field::Delay:
            return groupDelayMs(g.delaySamples);
    }
    return 0;
}

GroupControl::Outcome GroupControl::apply(Group& group, Field field,
                                          const std::function<void()>& change) {
    Outcome out;
    const std::string name = group.name;
    const std::vector<GroupMember> members = group.members;
    const bool inDrag = drag_ && drag_->group == name;
    if (!inDrag) newGestures(group);  // a move on its own is a step of its own
    out.move.group = name;
    out.move.field = field;
    out.move.before = offsetOf(group, field);
    for (const GroupMember& m : members) out.move.members.push_back({m, heldValues(m), {}});
    change();
    for (MemberMove& mm : out.move.members) {
        if (!sendShare(mm.member, name)) out.pending.push_back(mm.member);
        mm.after = heldValues(mm.member);
    }
    out.move.after = out.applied = offsetOf(group, field);
    out.ok = true;
    set_.dropSettled();
    if (inDrag) {
        Move& whole = drag_->move;
        if (whole.members.empty() || whole.field != field) {
            whole = out.move;
        } else {
            whole.after = out.move.after;
            for (size_t k = 0; k < whole.members.size() && k < out.move.members.size(); ++k)
                whole.members[k].after = out.move.members[k].after;
        }
    }
    store();
    emit changed();
    return out;
}

GroupControl::Outcome GroupControl::setOffset(const std::string& name, Field field, int want) {
    Group* g = set_.find(name);
    if (!g) return {.refused = Refusal::NoSuchGroup};
    const bool gain = field == Field::Gain;
    const int max = gain ? kGroupGainStepsMax : kGroupDelaySamplesMax;
    want = std::clamp(want, -max, max);
    // Each member known: the offsets that keep its own value plus all its shares in range.
    std::vector<std::pair<int, int>> ranges;
    std::vector<GroupMember> ranged;
    for (const GroupMember& m : g->members) {
        const ModeRecord* r = knownRecord(m);
        if (!r || (!gain && !isOutput(m))) continue;
        const int i = m.channel.number - 1;
        const GroupShare held = set_.heldShare(m), wanted = set_.wanted(m);
        const int now =
            gain ? (isOutput(m) ? r->output(i).gain() : r->input(i).gain()) : r->output(i).delay();
        const int own = now - (gain ? held.gainSteps : held.delaySamples);
        const int others =
            gain ? wanted.gainSteps - g->gainSteps : wanted.delaySamples - g->delaySamples;
        const int top = gain ? kGainCodeMax : kDelaySamplesMax;
        ranges.emplace_back(-own - others, top - own - others);
        ranged.push_back(m);
    }
    const int current = gain ? g->gainSteps : g->delaySamples;
    const FittedOffset fit = fitOffset(want, current, ranges);
    Outcome out = apply(*g, field, [&] { (gain ? g->gainSteps : g->delaySamples) = fit.value; });
    if (fit.limitedBy) {
        out.limitedBy = ranged[*fit.limitedBy];
        out.ok = false;
    }
    return out;
}

GroupControl::Outcome GroupControl::setGainDb(const std::string& group, double db) {
    return setOffset(group, Field::Gain, groupGainSteps(db));
}

GroupControl::Outcome GroupControl::stepGain(const std::string& group, double stepDb) {
    const Group* g = set_.find(group);
    return setOffset(group, Field::Gain, (g ? g->gainSteps : 0) + groupGainSteps(stepDb));
}

GroupControl::Outcome GroupControl::setDelayMs(const std::string& group, double ms) {
    return setOffset(group, Field::Delay, groupDelaySamples(ms));
}

GroupControl::Outcome GroupControl::setMute(const std::string& group, bool mute) {
    Group* g = set_.find(group);
    if (!g) return {.refused = Refusal::NoSuchGroup};
    return apply(*g, Field::Mute, [&] { g->mute = mute; });
}

GroupControl::Outcome GroupControl::setPolarity(const std::string& group, bool inverted) {
    Group* g = set_.find(group);
    if (!g) return {.refused = Refusal::NoSuchGroup};
    return apply(*g, Field::Polarity, [&] { g->inverted = inverted; });
}

GroupControl::Outcome GroupControl::undo(const Move& move) {
    switch (move.field) {
        case Field::Gain:
            return setGainDb(move.group, move.before);
        case Field::Mute:
            return setMute(move.group, move.before != 0);
        case Field::Polarity:
            return setPolarity(move.group, move.before != 0);
        case Field::Delay:
            return setDelayMs(move.group, move.before);
    }
    return {};
}

void GroupControl::beginDrag(const std::string& group) {
    if (drag_) endDrag();
    drag_ = Drag{group, {}, false};
    if (const Group* g = set_.find(group)) newGestures(*g);
}

GroupControl::Move GroupControl::endDrag() {
    if (!drag_) return {};
    Drag drag = std::move(*drag_);
    drag_.reset();
    if (drag.dirty) save();
    return std::move(drag.move);
}

// ---- the groups themselves

bool GroupControl::refuse(Refusal why) {
    refusal_ = why;
    return false;
}

const char* GroupControl::refusalText(Refusal refusal) {
    switch (refusal) {
        case Refusal::None:
            return "";
        case Refusal::NoSuchGroup:
            return "no group has that name";
        case Refusal::NoName:
            return "a name is needed";
        case Refusal::NameTaken:
            return "another group has that name";
        case Refusal::NoSuchChannel:
            return "the model has no such channel";
        case Refusal::AlreadyIn:
            return "the channel is in the group already";
        case Refusal::NotIn:
            return "the channel is not in the group";
    }
    return "";
}

bool GroupControl::addGroup(const std::string& name) {
    if (name.empty()) return refuse(Refusal::NoName);
    if (set_.find(name)) return refuse(Refusal::NameTaken);
    set_.groups.push_back({.name = name});
    store();
    emit changed();
    return true;
}

bool GroupControl::renameGroup(const std::string& name, const std::string& newName) {
    Group* g = set_.find(name);
    if (!g) return refuse(Refusal::NoSuchGroup);
    if (newName.empty()) return refuse(Refusal::NoName);
    if (newName != name && set_.find(newName)) return refuse(Refusal::NameTaken);
    g->name = newName;
    if (drag_ && drag_->group == name) drag_->group = newName;
    store();
    emit changed();
    return true;
}

bool GroupControl::removeGroup(const std::string& name) {
    const auto it = std::find_if(set_.groups.begin(), set_.groups.end(),
                                 [&](const Group& g) { return g.name == name; });
    if (it == set_.groups.end()) return refuse(Refusal::NoSuchGroup);
    const std::vector<GroupMember> members = it->members;
    set_.groups.erase(it);
    for (const GroupMember& m : members) sendShare(m, name);
    set_.dropSettled();
    store();
    emit changed();
    return true;
}

bool GroupControl::addMember(const std::string& group, const GroupMember& member) {
    Group* g = set_.find(group);
    if (!g) return refuse(Refusal::NoSuchGroup);
    if (!modelHasChannel(member.modelCode, member.channel)) return refuse(Refusal::NoSuchChannel);
    if (member.unit.empty()) return refuse(Refusal::NoName);
    if (g->has(member)) return refuse(Refusal::AlreadyIn);
    g->members.push_back(member);
    sendShare(member, group);
    store();
    emit changed();
    return true;
}

bool GroupControl::removeMember(const std::string& group, const GroupMember& member) {
    Group* g = set_.find(group);
    if (!g) return refuse(Refusal::NoSuchGroup);
    const auto it = std::find(g->members.begin(), g->members.end(), member);
    if (it == g->members.end()) return refuse(Refusal::NotIn);
    g->members.erase(it);
    sendShare(member, group);
    set_.dropSettled();
    store();
    emit changed();
    return true;
}

}  // namespace qel
