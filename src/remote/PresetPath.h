// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

#include "device/ParamEdit.h"

namespace qel {

// Values of a preset document named by their paths, as the remote API names them:
// "outputs[2].gainDb", "inputs[0].eq.points[4]", "outputs[1].lowPass.frequencyHz".
namespace presetpath {

// Puts value at path; false when the document has nothing there.
bool assign(QJsonObject& document, const QString& path, const QJsonValue& value);
// The channel setting a path names, as the edit that changes it reports itself; none for
// what a remote may not change (names, dates, the channel's own letter or number).
std::optional<ParamEdit::Subject> subjectOf(const QString& path);
// The channel settings that differ between two documents of one model, path to new value:
// EQ points, delays, limiters and filters as whole objects.
QJsonObject differences(const QJsonObject& before, const QJsonObject& after);
// "in:A" or "out:3" for a channel.
QString channelKey(const cmd::ChannelId& channel);

}  // namespace presetpath

}  // namespace qel
