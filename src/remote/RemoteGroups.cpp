// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/RemoteGroups.h"

#include <QJsonArray>
#include <cmath>
#include <functional>

#include "device/ChannelKey.h"
#include "device/GroupControl.h"
#include "link/Protocol.h"
#include "remote/RemoteWords.h"

namespace qel {

namespace {

using Field = GroupControl::Field;

constexpr double kFarBeyond = 1e6;  // dB or ms

std::optional<Field> fieldOf(const QString& path) {
    if (path == QLatin1String("gainDb") || path == QLatin1String("gainStepDb")) return Field::Gain;
    if (path == QLatin1String("mute")) return Field::Mute;
    if (path == QLatin1String("polarity")) return Field::Polarity;
    if (path == QLatin1String("delayMs")) return Field::Delay;
    return std::nullopt;
}

// A group's offset (dB, ms, or 0/1) as the API gives it.
QJsonValue valueJson(Field field, double offset) {
    if (field == Field::Mute) return offset != 0;
    if (field == Field::Polarity) return offset != 0 ? "inverted" : "normal";
    return offset;
}

QString offsetText(Field field, double offset) {
    if (field == Field::Gain)
        return QStringLiteral("%1%2 dB").arg(offset >= 0 ? "+" : "").arg(offset, 0, 'f', 1);
    return QStringLiteral("%1 ms").arg(offset, 0, 'f', 2);
}

QJsonObject memberJson(const GroupMember& m) {
    return {{"unit", QString::fromStdString(m.unit)},
            {"model", QString::fromStdString(std::string(modelName(m.modelCode)))},
            {"channel", QString::fromStdString(channelKeyOf(m.channel))}};
}

const char* stateText(GroupControl::MemberState state) {
    switch (state) {
        case GroupControl::MemberState::Online:
            return "online";
        case GroupControl::MemberState::Pending:
            return "pending";
        case GroupControl::MemberState::Missing:
            return "missing";
    }
    return "";
}

}  // namespace

RemoteGroups::RemoteGroups(GroupControl& groups, QObject* parent)
    : QObject(parent), groups_(&groups) {
    connect(&groups, &GroupControl::changed, this, &RemoteGroups::look);
    dragEnd_.setSingleShot(true);
    dragEnd_.setInterval(kDragEndMs);
    connect(&dragEnd_, &QTimer::timeout, this, &RemoteGroups::endDrag);
    told_ = message();
}

RemoteGroups::~RemoteGroups() {
    endDrag();
}

QJsonObject RemoteGroups::message() const {
    QJsonArray list;
    if (groups_)
        for (const std::string& name : groups_->groupNames()) {
            const Group& g = *groups_->group(name);
            QJsonArray members;
            for (const GroupControl::MemberView& v : groups_->members(name)) {
                QJsonObject m = memberJson(v.member);
                m.insert("state", stateText(v.state));
                members.append(m);
            }
            list.append(QJsonObject{{"name", QString::fromStdString(name)},
                                    {"gainDb", groupGainDb(g.gainSteps)},
                                    {"mute", g.mute},
                                    {"polarity", g.inverted ? "inverted" : "normal"},
                                    {"delayMs", groupDelayMs(g.delaySamples)},
                                    {"members", members}});
        }
    return {{"type", "groups"}, {"groups", list}};
}

void RemoteGroups::look() {
    if (looking_) return;
    looking_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            looking_ = false;
            QJsonObject now = message();
            if (now == told_) return;
            told_ = std::move(now);
            emit changed(told_);
        },
        Qt::QueuedConnection);
}

QJsonObject RemoteGroups::set(const ClientMessage& m) {
    QJsonObject answer{{"type", "nack"}, {"id", m.requestId}, {"group", m.group}};
    const auto nack = [&answer](const QString& reason) {
        answer.insert("reason", reason);
        return answer;
    };
    const std::string name = m.group.toStdString();
    if (!groups_ || !groups_->group(name)) return nack(RemoteWords::noGroup(m.group));
    const std::optional<Field> field = fieldOf(m.path);
    if (!field) return nack(RemoteWords::notASetting(m.path));
    const QJsonValue& v = m.value;
    // Far beyond any member's range: refused before it is taken to steps.
    if (v.isDouble() && std::abs(v.toDouble()) > kFarBeyond)
        return nack(RemoteWords::notTaken(m.path));
    std::function<GroupControl::Outcome()> move;
    if (m.path == QLatin1String("gainStepDb") && v.isDouble())
        move = [&] { return groups_->stepGain(name, v.toDouble()); };
    else if (*field == Field::Gain && v.isDouble())
        move = [&] { return groups_->setGainDb(name, v.toDouble()); };
    else if (*field == Field::Delay && v.isDouble())
        move = [&] { return groups_->setDelayMs(name, v.toDouble()); };
    else if (*field == Field::Mute && v.isBool())
        move = [&] { return groups_->setMute(name, v.toBool()); };
    else if (*field == Field::Polarity && (v == "normal" || v == "inverted"))
        move = [&] { return groups_->setPolarity(name, v == "inverted"); };
    else
        return nack(RemoteWords::notTaken(m.path));

    // A drag of another group, or by someone else, is not joined; its end writes the file.
    if (!m.final && drag_ != name) {
        endDrag();
        if (!groups_->dragging()) {
            groups_->beginDrag(name);
            drag_ = name;
        }
    }
    if (drag_ == name) dragEnd_.start();
    const GroupControl::Outcome outcome = move();
    if (m.final && drag_ == name) endDrag();

    // A move that stopped at a member's limit went there: the value says where.
    answer.insert("value", valueJson(*field, outcome.applied));
    if (const auto& by = outcome.limitedBy) {
        answer.insert("limitedBy", memberJson(*by));
        const QString member = RemoteWords::member(QString::fromStdString(by->unit), by->channel);
        return nack(RemoteWords::groupLimited(member, offsetText(*field, outcome.applied)));
    }
    answer.insert("type", "ack");
    return answer;
}

void RemoteGroups::endDrag() {
    dragEnd_.stop();
    if (drag_ && groups_ && groups_->dragging()) groups_->endDrag();
    drag_.reset();
}

}  // namespace qel
