// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/PresetPath.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <map>

namespace qel::presetpath {

namespace {

struct Step {
    QString key;
    int index = -1;  // -1: no list place
};

std::vector<Step> stepsOf(const QString& path) {
    static const QRegularExpression kStep(QStringLiteral("^([A-Za-z]+)(?:\\[([0-9]{1,2})\\])?$"));
    std::vector<Step> steps;
    for (const QString& part : path.split('.')) {
        const auto m = kStep.match(part);
        if (!m.hasMatch()) return {};
        steps.push_back({m.captured(1), m.captured(2).isEmpty() ? -1 : m.captured(2).toInt()});
    }
    return steps;
}

// Puts value at steps[at..] below node; false when a step names nothing there.
bool put(QJsonValue& node, const std::vector<Step>& steps, size_t at, const QJsonValue& value) {
    if (!node.isObject()) return false;
    QJsonObject object = node.toObject();
    const Step& s = steps[at];
    if (!object.contains(s.key)) return false;
    QJsonValue child = object.value(s.key);
    if (s.index >= 0) {
        QJsonArray list = child.toArray();
        if (!child.isArray() || s.index >= list.size()) return false;
        QJsonValue item = list.at(s.index);
        if (at + 1 == steps.size()) {
            item = value;
        } else if (!put(item, steps, at + 1, value)) {
            return false;
        }
        list.replace(s.index, item);
        child = list;
    } else if (at + 1 == steps.size()) {
        child = value;
    } else if (!put(child, steps, at + 1, value)) {
        return false;
    }
    object.insert(s.key, child);
    node = object;
    return true;
}

const std::map<QString, uint8_t>& channelCodes() {
    static const std::map<QString, uint8_t> codes{
        {"gainDb", param::kGain},         {"mute", param::kMute},
        {"polarity", param::kPolarity},   {"delay", param::kDelay},
        {"routing", param::kInputSelect}, {"highPass", param::kHighPass},
        {"lowPass", param::kLowPass}};
    return codes;
}

uint8_t limiterCode(const QString& key) {
    if (key == "attackMs") return param::kLimiterAttack;
    if (key == "releaseMs") return param::kLimiterRelease;
    return param::kLimiterLevel;
}

std::optional<ParamEdit::Subject> subjectOf(const std::vector<Step>& s) {
    if (s.size() < 2 || s[0].index < 0 || s[1].index >= 0) return std::nullopt;
    if (s[0].key != "inputs" && s[0].key != "outputs") return std::nullopt;
    const bool input = s[0].key == "inputs";
    ParamEdit::Subject subject;
    subject.channel = {input ? cmd::Side::Input : cmd::Side::Output, s[0].index + 1};
    const QString& key = s[1].key;
    if (key == "eq" && s.size() >= 3 && s[2].key == "on" && s.size() == 3) {
        subject.code = param::kEqSwitch;
    } else if (key == "eq" && s.size() >= 3 && s[2].key == "points" && s[2].index >= 0) {
        subject.code = param::kEqPoint;
        subject.point = s[2].index;
    } else if (key == "limiter" && !input) {
        subject.code = limiterCode(s.size() > 2 ? s[2].key : QString());
    } else if (const auto it = channelCodes().find(key);
               it != channelCodes().end() && s.size() <= 3) {
        subject.code = it->second;
        const bool outputOnly = subject.code != param::kGain && subject.code != param::kMute;
        if (input && outputOnly) return std::nullopt;
    } else {
        return std::nullopt;
    }
    return subject;
}

}  // namespace

bool assign(QJsonObject& document, const QString& path, const QJsonValue& value) {
    const std::vector<Step> steps = stepsOf(path);
    if (steps.empty()) return false;
    QJsonValue root = document;
    if (!put(root, steps, 0, value)) return false;
    document = root.toObject();
    return true;
}

std::optional<ParamEdit::Subject> subjectOf(const QString& path) {
    return subjectOf(stepsOf(path));
}

std::optional<Place> placeOf(const QString& path) {
    const std::vector<Step> steps = stepsOf(path);
    const auto subject = subjectOf(steps);
    if (!subject) return std::nullopt;
    PresetSetting setting;
    setting.input = subject->channel.side == cmd::Side::Input;
    setting.channel = subject->channel.number - 1;
    setting.key = steps[1].key.toStdString();
    if (subject->code == param::kEqPoint) setting.point = subject->point;
    return Place{*subject, setting, path.section('.', 1)};
}

void channelDifferences(const QString& prefix, const QJsonObject& before, const QJsonObject& after,
                        QJsonObject& out) {
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (it.key() != "eq") {
            if (before.value(it.key()) != it.value()) out.insert(prefix + it.key(), it.value());
            continue;
        }
        const QJsonObject eqBefore = before.value("eq").toObject(), eq = it.value().toObject();
        if (eqBefore.value("on") != eq.value("on")) out.insert(prefix + "eq.on", eq.value("on"));
        const QJsonArray pointsBefore = eqBefore.value("points").toArray();
        const QJsonArray points = eq.value("points").toArray();
        for (qsizetype k = 0; k < points.size(); ++k)
            if (k >= pointsBefore.size() || pointsBefore.at(k) != points.at(k))
                out.insert(prefix + QStringLiteral("eq.points[%1]").arg(k), points.at(k));
    }
}

QString channelKey(const cmd::ChannelId& channel) {
    return channel.side == cmd::Side::Input
               ? QStringLiteral("in:") + QChar(u'A' + channel.number - 1)
               : QStringLiteral("out:%1").arg(channel.number);
}

}  // namespace qel::presetpath
