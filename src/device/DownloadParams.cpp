// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/DownloadParams.h"

#include <cstdio>

#include "device/FreqTable.h"
#include "device/InputSelect.h"
#include "device/ModeRecord.h"
#include "device/Models.h"
#include "device/RecordValues.h"
#include "device/ValueCodes.h"

namespace qel {

namespace {

using cmd::Side;
using cmd::WriteKind;

bool isInput(const DownloadParam& p) {
    return p.side == Side::Input;
}

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string inputLetters(uint8_t set) {
    std::string letters;
    for (int i = 0; i < kMaxInputs; ++i)
        if (set & (1u << i)) {
            if (!letters.empty()) letters += '+';
            letters += static_cast<char>('A' + i);
        }
    return letters.empty() ? "no input" : letters;
}

std::string listMs(std::optional<int> ms, uint8_t index) {
    return ms ? std::to_string(*ms) + " ms" : "index " + std::to_string(index);
}

std::string eqTypeName(uint8_t type) {
    switch (type) {
        case 0:
            return "peak";
        case 1:
            return "low-shelf";
        case 2:
            return "high-shelf";
        default:
            return "type " + std::to_string(type);
    }
}

std::string pointText(const EqPoint& e) {
    char text[96];
    std::snprintf(text, sizeof text, "%s %.1f Hz %+.1f dB Q %.1f", eqTypeName(e.type).c_str(),
                  static_cast<double>(FreqTable[e.freq]), eqGainDb(e.gain), eqQ(e.q));
    return text;
}

std::string filterText(uint8_t type, uint8_t freq, bool off) {
    return std::string(crossoverTypeName(type)) +
           (off ? " off" : format(" %.1f Hz", static_cast<double>(FreqTable[freq])));
}

void add(std::vector<DownloadParam>& list, uint8_t code, Side side, int count, int progress) {
    for (int c = 0; c < count; ++c) list.push_back({code, side, c, -1, -1});
    if (count > 0) list.back().progressAfter = progress;
}

}  // namespace

std::string DownloadParam::name() const {
    std::string channelName = isInput(*this)
                                  ? std::string("input ") + static_cast<char>('A' + channel)
                                  : "output " + std::to_string(channel + 1);
    switch (code) {
        case param::kInputSelect:
            return channelName + " routing";
        case param::kGain:
            return channelName + " gain";
        case param::kMute:
            return channelName + " mute";
        case param::kPolarity:
            return channelName + " polarity";
        case param::kDelay:
            return channelName + " delay";
        case param::kLimiterLevel:
            return channelName + " limiter threshold";
        case param::kLimiterAttack:
            return channelName + " limiter attack";
        case param::kLimiterRelease:
            return channelName + " limiter release";
        case param::kEqPoint:
            return channelName + " EQ point " + std::to_string(point + 1);
        case param::kEqSwitch:
            return channelName + " EQ switch";
        case param::kHighPass:
            return channelName + " high-pass";
        case param::kLowPass:
            return channelName + " low-pass";
        default:
            return channelName + " code " + std::to_string(code);
    }
}

OwnedCommand DownloadParam::command(const ModeRecord& r, uint32_t model, WriteKind kind) const {
    const int number = channel + 1;
    const cmd::ChannelId id{side, number};
    if (isInput(*this)) {
        const InputChannel& in = r.input(channel);
        switch (code) {
            case param::kGain:
                return cmd::writeGain(kind, id, in.gain());
            case param::kMute:
                return cmd::writeMute(kind, id, in.mute());
            case param::kEqPoint:
                return cmd::writeEqPoint(kind, id, point, in.point(point));
            default:
                return cmd::writeEqSwitch(kind, id, in.eqSwitch());
        }
    }
    const OutputChannel& out = r.output(channel);
    switch (code) {
        case param::kInputSelect:
            return cmd::writeInputSelect(kind, number,
                                         unitCodeFromInputSet(model, out.inputSelect()));
        case param::kGain:
            return cmd::writeGain(kind, id, out.gain());
        case param::kMute:
            return cmd::writeMute(kind, id, out.mute());
        case param::kPolarity:
            return cmd::writePolarity(kind, number, out.polarity());
        case param::kDelay:
            return cmd::writeDelay(kind, number, out.delay());
        case param::kLimiterLevel:
            return cmd::writeLimiterLevel(kind, number, out.limiterLevel());
        case param::kLimiterAttack:
            return cmd::writeLimiterAttack(kind, number, out.limiterAttack());
        case param::kLimiterRelease:
            return cmd::writeLimiterRelease(kind, number, out.limiterRelease());
        case param::kEqPoint:
            return cmd::writeEqPoint(kind, id, point, out.point(point));
        case param::kHighPass:
            return cmd::writeHighPass(kind, number, out.highPassType(), out.highPassFreq());
        case param::kLowPass:
            return cmd::writeLowPass(kind, number, out.lowPassType(), out.lowPassFreq());
        default:
            return cmd::writeEqSwitch(kind, id, out.eqSwitch());
    }
}

std::vector<uint8_t> DownloadParam::value(const ModeRecord& r, uint32_t model) const {
    auto pointBytes = [](const EqPoint& e) {
        return std::vector<uint8_t>{e.type, e.gain, e.freq, e.q};
    };
    if (isInput(*this)) {
        const InputChannel& in = r.input(channel);
        switch (code) {
            case param::kGain:
                return {in.gain()};
            case param::kMute:
                return {in.mute()};
            case param::kEqPoint:
                return pointBytes(in.point(point));
            default:
                return {in.eqSwitch()};
        }
    }
    const OutputChannel& out = r.output(channel);
    switch (code) {
        case param::kInputSelect:
            return {unitCodeFromInputSet(model, out.inputSelect())};
        case param::kGain:
            return {out.gain()};
        case param::kMute:
            return {out.mute()};
        case param::kPolarity:
            return {out.polarity()};
        case param::kDelay:
            return {static_cast<uint8_t>(out.delay() & 0xFF),
                    static_cast<uint8_t>(out.delay() >> 8)};
        case param::kLimiterLevel:
            return {out.limiterLevel()};
        case param::kLimiterAttack:
            return {out.limiterAttack()};
        case param::kLimiterRelease:
            return {out.limiterRelease()};
        case param::kEqPoint:
            return pointBytes(out.point(point));
        case param::kHighPass:
            return {clampCrossoverType(out.highPassType()), out.highPassFreq()};
        case param::kLowPass:
            return {clampCrossoverType(out.lowPassType()), out.lowPassFreq()};
        default:
            return {out.eqSwitch()};
    }
}

std::string DownloadParam::describe(const ModeRecord& r, uint32_t model) const {
    if (isInput(*this)) {
        const InputChannel& in = r.input(channel);
        switch (code) {
            case param::kGain:
                return format("%+.1f dB", gainDb(in.gain()));
            case param::kMute:
                return in.mute() ? "muted" : "not muted";
            case param::kEqPoint:
                return pointText(in.point(point));
            default:
                return in.eqSwitch() ? "on" : "off";
        }
    }
    const OutputChannel& out = r.output(channel);
    switch (code) {
        case param::kInputSelect:
            return inputLetters(
                inputSetFromUnitCode(model, unitCodeFromInputSet(model, out.inputSelect())));
        case param::kGain:
            return format("%+.1f dB", gainDb(out.gain()));
        case param::kMute:
            return out.mute() ? "muted" : "not muted";
        case param::kPolarity:
            return out.polarity() ? "inverted" : "normal";
        case param::kDelay:
            return format("%.3f ms", delayMs(out.delay())) + " (" + std::to_string(out.delay()) +
                   " samples)";
        case param::kLimiterLevel:
            return format("%+.1f dB", limiterLevelDb(out.limiterLevel()));
        case param::kLimiterAttack:
            return listMs(limiterAttackMs(out.limiterAttack()), out.limiterAttack());
        case param::kLimiterRelease:
            return listMs(limiterReleaseMs(out.limiterRelease()), out.limiterRelease());
        case param::kEqPoint:
            return pointText(out.point(point));
        case param::kHighPass:
            return filterText(out.highPassType(), out.highPassFreq(),
                              out.highPassFreq() == kHighPassOffCode);
        case param::kLowPass:
            return filterText(out.lowPassType(), out.lowPassFreq(),
                              out.lowPassFreq() == kLowPassOffCode);
        default:
            return out.eqSwitch() ? "on" : "off";
    }
}

std::vector<DownloadParam> downloadParams(uint32_t model) {
    const int inputs = inputCount(model), outputs = outputCount(model);
    std::vector<DownloadParam> list;
    add(list, param::kInputSelect, Side::Output, outputs, 4);
    add(list, param::kGain, Side::Input, inputs, -1);
    add(list, param::kGain, Side::Output, outputs, 8);
    add(list, param::kMute, Side::Input, inputs, -1);
    add(list, param::kMute, Side::Output, outputs, 12);
    add(list, param::kPolarity, Side::Output, outputs, 16);
    add(list, param::kDelay, Side::Output, outputs, 16);
    add(list, param::kLimiterLevel, Side::Output, outputs, -1);
    add(list, param::kLimiterAttack, Side::Output, outputs, -1);
    add(list, param::kLimiterRelease, Side::Output, outputs, 20);
    for (int i = 0; i < inputs; ++i) {
        for (int p = 0; p < InputChannel::kPoints; ++p)
            list.push_back({param::kEqPoint, Side::Input, i, p, -1});
        list.push_back({param::kEqSwitch, Side::Input, i, -1, 20 + 40 * i / inputs});
    }
    for (int k = 0; k < outputs; ++k) {
        list.push_back({param::kHighPass, Side::Output, k, -1, -1});
        list.push_back({param::kLowPass, Side::Output, k, -1, -1});
        for (int p = 0; p < OutputChannel::kPoints; ++p)
            list.push_back({param::kEqPoint, Side::Output, k, p, -1});
        list.push_back({param::kEqSwitch, Side::Output, k, -1, 60 + 40 * k / outputs});
    }
    return list;
}

}  // namespace qel
