// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ChangedParams.h"

#include <algorithm>
#include <optional>

#include "device/ModeRecord.h"
#include "link/Protocol.h"

namespace qel {

namespace {

using Subject = ParamEdit::Subject;

struct Field {
    size_t offset, size;
    uint8_t code;
};

constexpr Field kInputFields[] = {
    {InputChannel::kGainOffset, 1, param::kGain},
    {InputChannel::kMuteOffset, 1, param::kMute},
    {InputChannel::kEqSwitchOffset, 1, param::kEqSwitch},
};

constexpr Field kOutputFields[] = {
    {OutputChannel::kGainOffset, 1, param::kGain},
    {OutputChannel::kMuteOffset, 1, param::kMute},
    {OutputChannel::kEqSwitchOffset, 1, param::kEqSwitch},
    {OutputChannel::kDelayOffset, 2, param::kDelay},
    {OutputChannel::kInputSelectOffset, 1, param::kInputSelect},
    {OutputChannel::kPolarityOffset, 1, param::kPolarity},
    {OutputChannel::kLimiterLevelOffset, 1, param::kLimiterLevel},
    {OutputChannel::kLimiterAttackOffset, 1, param::kLimiterAttack},
    {OutputChannel::kLimiterReleaseOffset, 1, param::kLimiterRelease},
    {OutputChannel::kLowPassTypeOffset, 2, param::kLowPass},
    {OutputChannel::kHighPassTypeOffset, 2, param::kHighPass},
};

// The parameter at a byte of one channel's settings.
template <size_t N>
std::optional<Subject> fieldAt(cmd::ChannelId channel, size_t at, const Field (&fields)[N],
                               size_t pointsOffset, int points) {
    if (at >= pointsOffset && at < pointsOffset + points * EqPoint::kSize)
        return Subject{param::kEqPoint, channel,
                       static_cast<int>((at - pointsOffset) / EqPoint::kSize)};
    for (const Field& f : fields)
        if (at >= f.offset && at < f.offset + f.size) return Subject{f.code, channel};
    return std::nullopt;
}

std::optional<Subject> paramAt(size_t offset) {
    constexpr size_t inputs = ModeRecord::kInputsOffset, outputs = ModeRecord::kOutputsOffset;
    if (offset >= inputs && offset < inputs + kMaxInputs * InputChannel::kSize) {
        const size_t at = offset - inputs;
        const auto channel = cmd::inputChannel(static_cast<int>(at / InputChannel::kSize) + 1);
        return fieldAt(channel, at % InputChannel::kSize, kInputFields, InputChannel::kPointsOffset,
                       InputChannel::kPoints);
    }
    if (offset >= outputs && offset < outputs + kMaxOutputs * OutputChannel::kSize) {
        const size_t at = offset - outputs;
        const auto channel = cmd::outputChannel(static_cast<int>(at / OutputChannel::kSize) + 1);
        return fieldAt(channel, at % OutputChannel::kSize, kOutputFields,
                       OutputChannel::kPointsOffset, OutputChannel::kPoints);
    }
    return std::nullopt;
}

}  // namespace

std::vector<Subject> changedParams(const std::vector<ParamEdit::Change>& runs) {
    std::vector<Subject> params;
    for (const ParamEdit::Change& run : runs)
        for (size_t i = 0; i < run.before.size() && i < run.after.size(); ++i) {
            if (run.before[i] == run.after[i]) continue;
            const auto param = paramAt(run.offset + i);
            if (param && std::find(params.begin(), params.end(), *param) == params.end())
                params.push_back(*param);
        }
    return params;
}

}  // namespace qel
