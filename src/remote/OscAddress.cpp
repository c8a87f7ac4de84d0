// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/OscAddress.h"

#include <lo/lo.h>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <map>

#include "device/InputChannel.h"
#include "device/Models.h"
#include "device/OutputChannel.h"
#include "remote/PresetPath.h"

namespace qel::osc {

namespace {

// The value below path in value ("delay.ms" in a channel, "" for the value itself).
QJsonValue below(QJsonValue value, const QString& path) {
    static const QRegularExpression kStep(QStringLiteral("^([A-Za-z]+)(?:\\[([0-9]{1,2})\\])?$"));
    if (path.isEmpty()) return value;
    for (const QString& part : path.split('.')) {
        const auto m = kStep.match(part);
        if (!m.hasMatch()) return {};
        value = value.toObject().value(m.captured(1));
        if (!m.captured(2).isEmpty()) value = value.toArray().at(m.captured(2).toInt());
    }
    return value;
}

void addChannel(std::vector<ChannelSetting>& list, const cmd::ChannelId& channel) {
    const bool input = channel.side == cmd::Side::Input;
    const QStringList head = channelAddress(channel).split('/');
    const QString prefix =
        QStringLiteral("%1[%2].").arg(input ? "inputs" : "outputs").arg(channel.number - 1);
    const auto add = [&](const QStringList& tail, const QString& path, ValueType type,
                         bool polarity = false) {
        list.push_back({head + tail, channel, prefix + path, type, polarity});
    };
    add({"gain"}, "gainDb", ValueType::Float);
    add({"mute"}, "mute", ValueType::Switch);
    if (!input) {
        add({"polarity"}, "polarity", ValueType::Switch, true);
        add({"delay"}, "delay.ms", ValueType::Float);
        add({"limiter"}, "limiter.thresholdDb", ValueType::Float);
    }
    const int points = input ? InputChannel::kPoints : OutputChannel::kPoints;
    for (int p = 0; p < points; ++p)
        add({"eq", QString::number(p + 1), "gain"}, QStringLiteral("eq.points[%1].gainDb").arg(p),
            ValueType::Float);
}

}  // namespace

QString addressName(const QString& text) {
    QString name = text;
    for (QChar& c : name)
        if (QStringLiteral(" #*?,/[]{}").contains(c)) c = u'_';
    return name;
}

std::optional<QStringList> partsOf(const QByteArray& address) {
    if (!address.startsWith('/')) return std::nullopt;
    const QStringList parts = QString::fromUtf8(address.mid(1)).split('/');
    for (const QString& p : parts)
        if (p.isEmpty()) return std::nullopt;
    return parts;
}

bool matches(const QByteArray& pattern, const QString& part) {
    return lo_pattern_match(part.toUtf8().constData(), pattern.constData()) != 0;
}

bool isPattern(const QByteArray& address) {
    for (char c : address)
        if (c == '*' || c == '?' || c == '[' || c == '{') return true;
    return false;
}

const std::vector<ChannelSetting>& channelSettings(uint32_t modelCode) {
    static std::map<uint32_t, std::vector<ChannelSetting>> byModel;
    auto it = byModel.find(modelCode);
    if (it != byModel.end()) return it->second;
    std::vector<ChannelSetting> list;
    for (int i = 1; i <= inputCount(modelCode); ++i) addChannel(list, cmd::inputChannel(i));
    for (int i = 1; i <= outputCount(modelCode); ++i) addChannel(list, cmd::outputChannel(i));
    return byModel.emplace(modelCode, std::move(list)).first->second;
}

std::optional<QJsonValue> presetValue(const ChannelSetting& setting, double value) {
    if (setting.type == ValueType::Float) return QJsonValue(value);
    if (value != 0 && value != 1) return std::nullopt;
    if (setting.polarity) return QJsonValue(value != 0 ? "inverted" : "normal");
    return QJsonValue(value != 0);
}

std::optional<double> oscValue(const ChannelSetting& setting, const QString& path,
                               const QJsonValue& value) {
    if (setting.path != path && !setting.path.startsWith(path + '.')) return std::nullopt;
    const QJsonValue v = below(value, setting.path.mid(path.size() + 1));
    if (v.isDouble()) return v.toDouble();
    if (v.isBool()) return v.toBool() ? 1 : 0;
    if (v.isString()) return v.toString() == QLatin1String("inverted") ? 1 : 0;
    return std::nullopt;
}

QString channelAddress(const cmd::ChannelId& channel) {
    return channel.side == cmd::Side::Input
               ? QStringLiteral("in/") + QChar(u'A' + channel.number - 1)
               : QStringLiteral("out/%1").arg(channel.number);
}

}  // namespace qel::osc
