// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ErrorText.h"

namespace qel::cli {

namespace {

const char* kindText(JsonKind kind) {
    switch (kind) {
        case JsonKind::Null:
            return "null";
        case JsonKind::Bool:
            return "true or false";
        case JsonKind::Number:
            return "a number";
        case JsonKind::Text:
            return "a text";
        case JsonKind::List:
            return "a list";
        case JsonKind::Object:
            return "an object";
        case JsonKind::Nothing:
            break;
    }
    return "nothing";
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The values of an issue by place; missing ones read as empty.
struct Values {
    const std::vector<std::string>& v;
    std::string operator[](size_t i) const { return i < v.size() ? v[i] : std::string(); }
};

std::string shapeText(const PresetIssue& issue, const Values& v) {
    switch (issue.problem) {
        case PresetProblem::Syntax:
            return "line " + v[0] + ", column " + v[1] + ": " + v[2];
        case PresetProblem::NotAnObject:
            return "expected an object";
        case PresetProblem::Missing:
            return "missing";
        case PresetProblem::UnknownKey:
            return "unknown key";
        case PresetProblem::WrongType:
            return std::string("expected ") + kindText(issue.expected) + ", found " +
                   kindText(issue.found);
        case PresetProblem::WrongCount:
            return "expected " + v[0] + " entries, found " + v[1];
        case PresetProblem::NotOneOf:
            return quoted(v[0]) + " is not one of " + v[1];
        case PresetProblem::OutOfRange:
            return v[0] + " is outside " + v[1] + " .. " + v[2] + " " + v[3];
        case PresetProblem::Moved:
            return v[0] + " " + v[1] + " became " + v[2] + " " + v[1];
        default:
            return {};
    }
}

std::string valueText(const PresetIssue& issue, const Values& v) {
    switch (issue.problem) {
        case PresetProblem::NumberOrOff:
            return "expected a number or \"off\"";
        case PresetProblem::OffFrequency:
            return v[0] + " Hz is where this filter is off: write \"off\" or another frequency";
        case PresetProblem::WrongLetter:
            return "expected " + quoted(v[0]) + " at this place, found " + quoted(v[1]);
        case PresetProblem::WrongNumber:
            return "expected " + v[0] + " at this place";
        case PresetProblem::NotWhole:
            return "expected a whole number";
        case PresetProblem::DelayDisagrees:
            return "ms and samples disagree";
        case PresetProblem::DelayMissing:
            return "give ms or samples";
        case PresetProblem::NotAnInput:
            return "expected an input letter from A to " + v[0];
        case PresetProblem::InputTwice:
            return "input " + v[0] + " is listed twice";
        default:
            return {};
    }
}

std::string documentText(const PresetIssue& issue, const Values& v) {
    switch (issue.problem) {
        case PresetProblem::NameHasZero:
            return "a name holds no zero character";
        case PresetProblem::NameNotGbk:
            return "the mode files hold names in GBK, which has no code for " + v[0];
        case PresetProblem::NameTooLong:
            return "at most 20 bytes in GBK, found " + v[0];
        case PresetProblem::DateTooLong:
            return "at most 23 bytes, found " + v[0];
        case PresetProblem::WrongFormat:
            return "expected " + quoted(v[0]);
        case PresetProblem::WrongVersion:
            return "version " + v[0] + " is not one this program reads (" + v[1] + ")";
        case PresetProblem::UnknownModel:
            return quoted(v[0]) + " is not QD206, QD406 or QD408";
        case PresetProblem::OtherModel:
            return "the preset is for a " + v[0] + ", the target is a " + v[1];
        case PresetProblem::NameTwice:
            return "units[" + v[2] + "] is already the " + v[1] + " named " + quoted(v[0]);
        case PresetProblem::GroupTwice:
            return "groups[" + v[1] + "] is already named " + quoted(v[0]);
        case PresetProblem::MemberTwice:
            return "members[" + v[0] + "] names the same channel";
        case PresetProblem::NoSuchChannel:
            return "a " + v[1] + " has no channel " + v[0];
        default:
            return {};
    }
}

std::string filterText(const MeasurementError& e, const Values& v, const std::string& channel) {
    switch (e.problem) {
        case MeasurementProblem::BadPreamp:
            return "cannot read the preamp " + quoted(v[0]);
        case MeasurementProblem::NoState:
            return "the filter says neither ON nor OFF";
        case MeasurementProblem::BadState:
            return "expected ON or OFF, found " + quoted(v[0]);
        case MeasurementProblem::NoType:
            return "the filter has no type";
        case MeasurementProblem::UnknownType:
            return "unknown filter type " + quoted(v[0]) +
                   " (PK, PEQ, LS, LSC, HS, HSC, HP, HPQ, LP and LPQ are known)";
        case MeasurementProblem::UnknownWord:
            return "cannot read " + quoted(v[0]);
        case MeasurementProblem::GivenTwice:
            return v[0] + " is given twice";
        case MeasurementProblem::NoNumber:
            return v[0] + " has no number";
        case MeasurementProblem::TooManyFilters:
            return v[0] + " filters are on, " + channel + " has " + v[1] + " EQ points";
        default:
            return {};
    }
}

std::string filterValueText(const MeasurementError& e, const Values& v) {
    switch (e.problem) {
        case MeasurementProblem::NoFc:
            return "the filter has no Fc";
        case MeasurementProblem::NoGain:
            return "the filter has no Gain";
        case MeasurementProblem::NoQ:
            return "the " + v[0] + " filter has no Q";
        case MeasurementProblem::FcOutOfRange:
            return "Fc " + v[0] + " Hz is not between 0 and " + v[1] + " Hz";
        case MeasurementProblem::GainOutOfRange:
            return "Gain " + v[0] + " dB is not between -" + v[1] + " and " + v[1] + " dB";
        case MeasurementProblem::QOutOfRange:
            return "Q " + v[0] + " is not between " + v[1] + " and " + v[2];
        default:
            return {};
    }
}

std::string list(const std::vector<std::string>& values, size_t from) {
    std::string out;
    for (size_t i = from; i < values.size(); ++i) out += (i > from ? ", " : "") + values[i];
    return out;
}

std::string shapeText(const MeasurementError& e, const Values& v, const std::string& channel) {
    switch (e.problem) {
        case MeasurementProblem::CannotMake:
            return "the unit cannot make a " + quoted(v[0]) + " filter";
        case MeasurementProblem::CrossoverQ:
            return v[0] + " with Q " + v[1] +
                   ": the unit's high-pass and low-pass take Butterworth 12 dB (Q 0.707) only";
        case MeasurementProblem::BadSlope:
            return "cannot read the slope " + quoted(v[0]) + " of " + v[1] +
                   " (LS and HS take 6dB or 12dB, LSC and HSC up to 12 dB)";
        case MeasurementProblem::SlopeAndQ:
            return "the " + v[0] + " filter has both a slope and a Q";
        case MeasurementProblem::BandwidthOutOfRange:
            return "BW Oct " + v[0] + " is not between " + v[1] + " and " + v[2];
        case MeasurementProblem::SeveralChannels:
            return "the filters belong to more than one channel (" + list(e.values, 0) +
                   "): name one with --source-channel";
        case MeasurementProblem::NoSuchChannel:
            return "no Channel: line selects " + quoted(v[0]) + " (the file selects " +
                   list(e.values, 1) + ")";
        case MeasurementProblem::CrossoverTwice:
            return "a second " + v[0] + ": an output has one high-pass and one low-pass";
        case MeasurementProblem::CrossoverOnInput:
            return v[0] + " is a crossover filter, which " + channel + " does not have";
        default:
            return {};
    }
}

}  // namespace

std::string measurementErrorText(const MeasurementError& error, const std::string& channelName) {
    const Values v{error.values};
    std::string text = filterText(error, v, channelName);
    if (text.empty()) text = filterValueText(error, v);
    if (text.empty()) text = shapeText(error, v, channelName);
    return "line " + std::to_string(error.line) + ": " + text;
}

std::string modeFileText(const ModeFileStatus& status) {
    const QStringList& v = status.values;
    const QString v0 = v.value(0), v1 = v.value(1);
    switch (status.problem) {
        case ModeFileProblem::None:
            return {};
        case ModeFileProblem::UnknownModel:
            return "unknown model code " + v0.toStdString();
        case ModeFileProblem::NoRecord:
            return "there is no record " + v0.toStdString();
        case ModeFileProblem::NoPcMode:
            return QStringLiteral("no PC mode %1 for model %2").arg(v0, v1).toStdString();
        case ModeFileProblem::NameNotGbk:
            return "GBK has no code for " + v0.toStdString();
        case ModeFileProblem::CannotOpen:
            return QStringLiteral("cannot open %1: %2").arg(v0, v1).toStdString();
        case ModeFileProblem::ReadOnly:
            return QStringLiteral("%1 is read-only here: %2").arg(v0, v1).toStdString();
        case ModeFileProblem::CannotRead:
            return QStringLiteral("cannot read %1: %2").arg(v0, v1).toStdString();
        case ModeFileProblem::CannotCreateTemp:
            return QStringLiteral("cannot create a temporary file for %1: %2")
                .arg(v0, v1)
                .toStdString();
        case ModeFileProblem::CannotWrite:
            return QStringLiteral("cannot write %1: %2").arg(v0, v1).toStdString();
        case ModeFileProblem::CannotReplace:
            return QStringLiteral("cannot replace %1: %2").arg(v0, v1).toStdString();
    }
    return {};
}

std::string linkErrorText(const LinkError& error) {
    if (error.noEndpoint) return "the UDP endpoint is not open";
    const SerialError& e = error.serial;
    if (e.step == SerialError::Step::WriteTimedOut) return e.path + ": write timed out";
    return e.path + ": " + e.systemWords();
}

std::string presetIssueText(const PresetIssue& issue) {
    const Values v{issue.values};
    std::string text = shapeText(issue, v);
    if (text.empty()) text = valueText(issue, v);
    if (text.empty()) text = documentText(issue, v);
    return issue.path + ": " + text;
}

std::string showIssueText(const ShowIssue& issue) {
    if (issue.group >= 0) return groupIssueText({issue.group, issue.groupName, issue.issue});
    const std::string text = presetIssueText(issue.issue);
    return issue.unit < 0 ? text : "unit " + quoted(issue.unitName) + ": " + text;
}

std::string groupIssueText(const GroupIssue& issue) {
    const std::string text = presetIssueText(issue.issue);
    if (issue.group < 0) return text;
    return (issue.groupName.empty() ? "group " + std::to_string(issue.group + 1)
                                    : "group " + quoted(issue.groupName)) +
           ": " + text;
}

}  // namespace qel::cli
