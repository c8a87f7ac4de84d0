// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QJsonObject>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/ModeRecord.h"

namespace qel {

// A mode record as a JSON document in the units an engineer thinks in (dB, Hz, ms, Q,
// filter shapes by name); the format is written down in docs/preset-format.md. Writing and
// reading back give the same record for every record a unit can hold.

// What is wrong with one place of a preset, or what had to move there. The values are the
// problem's own (numbers and names as the document has them); each front end words them.
enum class PresetProblem : uint8_t {
    Syntax,       // line, column, the parser's own words
    NotAnObject,  // the document as a whole
    Missing,      // a required key
    UnknownKey,
    WrongType,     // see PresetIssue::expected / found
    WrongCount,    // expected entries, found entries
    NotOneOf,      // the text found, the allowed names joined by ", "
    OutOfRange,    // number, lowest, highest, unit ("dB", "Hz", "ms", "samples" or "")
    Moved,         // number, unit, the value it became
    NumberOrOff,   // a text other than "off" where a frequency goes
    OffFrequency,  // the frequency in Hz at which the filter is off
    WrongLetter,   // expected letter, found text
    WrongNumber,   // expected output number
    NotWhole,
    DelayDisagrees,  // ms and samples disagree
    DelayMissing,    // neither ms nor samples
    NotAnInput,      // the last input letter of the model
    InputTwice,      // the letter
    NameHasZero,
    NameNotGbk,     // the characters GBK has no code for
    NameTooLong,    // its length in GBK bytes
    DateTooLong,    // its length in bytes
    WrongFormat,    // the format expected
    WrongVersion,   // the version found, the version read
    UnknownModel,   // the model found
    OtherModel,     // the preset's model, the target's model
    NameTwice,      // the name, the model, the place of the unit that has them first
    GroupTwice,     // the group's name, the place of the group that has it first
    MemberTwice,    // the place of the member that names the channel first
    NoSuchChannel,  // the channel, the model
};

// The kinds of JSON value, for PresetProblem::WrongType.
enum class JsonKind : uint8_t { Nothing, Null, Bool, Number, Text, List, Object };

// One finding while reading a preset: where in the document (JSON path such as
// "outputs[2].eq.points[6].gainDb"), what, and its values.
struct PresetIssue {
    std::string path;
    PresetProblem problem = PresetProblem::Syntax;
    std::vector<std::string> values;
    JsonKind expected = JsonKind::Nothing, found = JsonKind::Nothing;
};

struct PresetRead {
    ModeRecord record;
    uint32_t modelCode = 0;
    std::string deviceName;           // information only, never written to a unit
    std::vector<PresetIssue> errors;  // the record is not to be used when there are any
    std::vector<PresetIssue> moved;   // values that moved by more than half a step
    bool ok() const { return errors.empty(); }
};

constexpr int kPresetVersion = 1;
inline constexpr std::string_view kPresetFormat = "quellmar-preset";

// The document of the record's model channels. deviceName is written as information when
// not empty. The model must be a known one.
QByteArray presetJson(const ModeRecord& record, uint32_t modelCode,
                      std::string_view deviceName = {});

// Reads a document through the parameter model's quantisers. Every problem is reported with
// its path: syntax, wrong types, unknown or missing keys, values outside what the unit holds,
// and a model other than expectedModel (0 accepts any known model). Channels the model does
// not have stay zero.
PresetRead readPresetJson(const QByteArray& json, uint32_t expectedModel = 0);
// The same for a document already parsed.
PresetRead readPresetObject(const QJsonObject& root, uint32_t expectedModel = 0);

// The root object of a JSON document; else the problem, at "(document)", is added to errors:
// Syntax (line, column, the parser's words) or NotAnObject.
std::optional<QJsonObject> jsonRoot(const QByteArray& json, std::vector<PresetIssue>& errors);

// A number with at most the given decimals and no trailing zeros (keepOneDecimal: "1.0"),
// never "-0".
std::string jsonNumber(double v, int decimals, bool keepOneDecimal);
// A JSON string of the text: valid UTF-8 as it is, other bytes each as one character.
std::string jsonString(std::string_view text);

// One setting of a channel, as a preset names it below the channel: a key of the channel
// ("gainDb", "mute", "polarity", "delay", "routing", "limiter", "highPass", "lowPass") or
// its EQ (key "eq": one point, or the switch "eq.on" with point -1).
struct PresetSetting {
    bool input = false;
    int channel = 0;  // 0-based
    std::string key;
    int point = -1;
};

// One channel's object of the document presetJson writes (index 0-based).
QJsonObject presetChannelJson(const ModeRecord& record, uint32_t modelCode, bool input, int index);

// Reads one setting from its channel's object of a preset document into a copy of record,
// the rest of which stays: the checks and quantisers of readPresetJson, and each problem
// with the path it has in the whole document. The channel's other keys are not read.
PresetRead readPresetSetting(const QJsonObject& channel, const PresetSetting& setting,
                             const ModeRecord& record, uint32_t modelCode);

}  // namespace qel
