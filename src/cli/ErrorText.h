// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <string>

#include "device/Groups.h"
#include "device/MeasurementEq.h"
#include "device/ModeFileStore.h"
#include "device/PresetJson.h"
#include "device/ShowFile.h"
#include "link/Equipment.h"

namespace qel::cli {

// The command line's English for the problems the core reports as data.

// "outputs[1].gainDb: 12.5 is outside -50 .. 12 dB"
std::string presetIssueText(const PresetIssue& issue);

// "unit \"Left\": units[1].settings.outputs[0].gainDb: 13 is outside -50 .. 12 dB"; the
// document's own problems as presetIssueText words them.
std::string showIssueText(const ShowIssue& issue);

// "group \"Mains\": groups[1].members[0].channel: a QD206 has no channel out:5"
std::string groupIssueText(const GroupIssue& issue);

// "line 16: 16 filters are on, input A has 15 EQ points"; channelName names the channel the
// filters were meant for.
std::string measurementErrorText(const MeasurementError& error, const std::string& channelName);

// "cannot open mode408.dat: Permission denied"; empty when there is no problem.
std::string modeFileText(const ModeFileStatus& status);

// "/dev/ttyUSB6: No such file or directory"
std::string linkErrorText(const LinkError& error);

}  // namespace qel::cli
