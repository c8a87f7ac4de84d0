// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

#include "device/ParamEdit.h"
#include "device/PresetJson.h"

namespace qel {

// Values of a preset document named by their paths, as the remote API names them:
// "outputs[2].gainDb", "inputs[0].eq.points[4]", "outputs[1].lowPass.frequencyHz".
namespace presetpath {

// Puts value at path; false when the document has nothing there.
bool assign(QJsonObject& document, const QString& path, const QJsonValue& value);
// The channel setting a path names, as the edit that changes it reports itself; none for
// what a remote may not change (names, dates, the channel's own letter or number).
std::optional<ParamEdit::Subject> subjectOf(const QString& path);
// Where a path's value sits: the edit that changes it, the channel setting the preset
// reader reads it as, and the path below the channel ("gainDb", "eq.points[4].q"); none
// where subjectOf() gives none.
struct Place {
    ParamEdit::Subject subject;
    PresetSetting setting;
    QString below;
};
std::optional<Place> placeOf(const QString& path);
// The settings that differ between two objects of one channel, path to new value, added to
// out: EQ points, delays, limiters and filters as whole objects. prefix is the channel's path
// with a dot ("outputs[2].").
void channelDifferences(const QString& prefix, const QJsonObject& before, const QJsonObject& after,
                        QJsonObject& out);
// "in:A" or "out:3" for a channel.
QString channelKey(const cmd::ChannelId& channel);

}  // namespace presetpath

}  // namespace qel
