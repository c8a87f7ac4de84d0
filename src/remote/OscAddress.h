// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "device/ParamCommands.h"

namespace qel::osc {

// The addresses the OSC server answers (docs/osc.md): names as a part of an address holds
// them, and the settings of a unit's channels with their places in the preset.

// A name as one part of an address: space, '#', '*', '?', ',', '/', brackets and braces
// become '_' ("Main Stage" is "Main_Stage").
QString addressName(const QString& text);
// The parts of an address between its '/'s; none when it does not start with '/' or has an
// empty part.
std::optional<QStringList> partsOf(const QByteArray& address);
// A part of an address matched against a pattern part as OSC 1.0 matches ('*', '?', "[1-4]",
// "[!a]", "{a,b}"); a part without those is matched as it is.
bool matches(const QByteArray& pattern, const QString& part);
// Whether the address has any pattern character.
bool isPattern(const QByteArray& address);

// How a setting's value goes in a message: a float, or an int 0/1.
enum class ValueType { Float, Switch };

// A setting of a unit's channel: its address below the unit ("out/3/gain", split), and its
// place in the preset ("outputs[2].gainDb") with how OSC's value sits in the preset's.
struct ChannelSetting {
    QStringList tail;
    cmd::ChannelId channel;
    QString path;  // for a set
    ValueType type = ValueType::Float;
    bool polarity = false;  // the preset names it "normal" / "inverted"
};
// Every channel setting a unit of the model offers; the unknown model has none.
const std::vector<ChannelSetting>& channelSettings(uint32_t modelCode);
// The preset value for OSC's number; none where the type does not fit.
std::optional<QJsonValue> presetValue(const ChannelSetting& setting, double value);
// OSC's number for the setting's value in the preset document below path, given the value
// at path ("outputs[2].delay" with {"ms": 10, "samples": 480}); none where it has none.
std::optional<double> oscValue(const ChannelSetting& setting, const QString& path,
                               const QJsonValue& value);
// "in/A" or "out/3".
QString channelAddress(const cmd::ChannelId& channel);

}  // namespace qel::osc
