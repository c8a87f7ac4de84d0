// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ChannelCommands.h"

#include <algorithm>

namespace qel::sim {

namespace {

constexpr uint8_t kInputSelect = 0x00, kGain = 0x01, kMute = 0x02, kPolarity = 0x03, kDelay = 0x04,
                  kLimLevel = 0x05, kLimAttack = 0x06, kLimRelease = 0x07, kEqBlock = 0x08,
                  kEqPoint = 0x09, kEqSwitch = 0x0A, kHighPass = 0x0B, kLowPass = 0x0C,
                  kCopy = 0x0D, kEqReset = 0x0F;

// Bytes of the value that a linked write carries ahead of its channel list.
size_t linkedDataSize(uint8_t code) {
    switch (code) {
        case kEqPoint:
            return 5;
        case kDelay:
        case kHighPass:
        case kLowPass:
            return 2;
        default:
            return 1;
    }
}

template <size_t N>
void setPoint(uint8_t (&eq)[N][kPointBytes], const Request& r) {
    const uint8_t index = r.at(0);
    if (index >= N) return;
    for (size_t i = 0; i < 4; ++i) eq[index][i] = r.at(1 + i);
}

template <size_t N>
void appendEqBlock(Bytes& reply, const uint8_t (&eq)[N][kPointBytes], uint8_t eqSwitch) {
    for (const auto& point : eq) reply.insert(reply.end(), point, point + kPointBytes);
    reply.push_back(eqSwitch);
}

}  // namespace

Bytes ChannelCommands::handle(const Request& r) {
    if (r.block == block::kAllChannels) return r.op == op::kRead ? rowRead(r) : r.echo();
    if (r.op == op::kRead) return channelRead(r);
    if (r.op == op::kWrite || r.op == op::kLoad) apply(r.channel, r);
    if (r.op == op::kLinkedWrite) applyLinked(r);
    return r.echo();
}

Bytes ChannelCommands::channelRead(const Request& r) const {
    Bytes reply;
    if (r.block == block::kInput && r.channel >= 1 && r.channel <= kInputs) {
        const ChannelIn& in = params_.in[r.channel - 1];
        if (r.code == kEqBlock) appendEqBlock(reply, in.eq, in.eqSwitch);
    } else if (r.block == block::kOutput && r.channel >= 1 && r.channel <= kOutputs) {
        const ChannelOut& out = params_.out[r.channel - 1];
        if (r.code == kEqBlock) appendEqBlock(reply, out.eq, out.eqSwitch);
        if (r.code == kHighPass) reply = {out.hpfType, out.hpfFreq};
        if (r.code == kLowPass) reply = {out.lpfType, out.lpfFreq};
    }
    return reply.empty() ? r.echo() : reply;
}

// Rows that both sides have give 4 input values then 8 output values; delay is 16-bit.
Bytes ChannelCommands::rowRead(const Request& r) const {
    Bytes reply;
    if (r.code == kGain || r.code == kMute)
        for (const ChannelIn& in : params_.in) reply.push_back(r.code == kGain ? in.gain : in.mute);
    for (const ChannelOut& out : params_.out) {
        switch (r.code) {
            case kInputSelect:
                reply.push_back(out.inputSelectCode);
                break;
            case kGain:
                reply.push_back(out.gain);
                break;
            case kMute:
                reply.push_back(out.mute);
                break;
            case kPolarity:
                reply.push_back(out.polarity);
                break;
            case kDelay:
                reply.push_back(static_cast<uint8_t>(out.delay & 0xFF));
                reply.push_back(static_cast<uint8_t>(out.delay >> 8));
                break;
            case kLimLevel:
                reply.push_back(out.limLevel);
                break;
            case kLimAttack:
                reply.push_back(out.limAttack);
                break;
            case kLimRelease:
                reply.push_back(out.limRelease);
                break;
            default:
                return r.echo();
        }
    }
    return reply;
}

// Payload: the value, a count N, then N further channel numbers (maybe a filler zero).
void ChannelCommands::applyLinked(const Request& r) {
    apply(r.channel, r);
    const size_t dataSize = linkedDataSize(r.code);
    if (r.size <= dataSize) return;
    const size_t count = r.at(dataSize);
    for (size_t i = 0; i < count && dataSize + 1 + i < r.size; ++i)
        apply(r.at(dataSize + 1 + i), r);
}

void ChannelCommands::apply(uint8_t channel, const Request& r) {
    if (r.block == block::kInput && channel >= 1 && channel <= kInputs) applyInput(channel - 1, r);
    if (r.block == block::kOutput && channel >= 1 && channel <= kOutputs)
        applyOutput(channel - 1, r);
}

void ChannelCommands::applyInput(int index, const Request& r) {
    ChannelIn& in = params_.in[index];
    const uint8_t value = r.at(0);
    switch (r.code) {
        case kGain:
            in.gain = value;
            break;
        case kMute:
            in.mute = value;
            break;
        case kEqPoint:
            setPoint(in.eq, r);
            break;
        case kEqSwitch:
            in.eqSwitch = value;
            break;
        case kEqReset:
            resetEq(in);
            break;
        case kCopy:
            if (value >= 1 && value <= kInputs && value - 1 != index) {
                const ChannelIn& src = params_.in[value - 1];
                std::copy_n(&src.eq[0][0], sizeof src.eq, &in.eq[0][0]);
                in.eqSwitch = src.eqSwitch;
            }
            break;
        default:
            break;
    }
}

void ChannelCommands::applyOutput(int index, const Request& r) {
    ChannelOut& out = params_.out[index];
    const uint8_t value = r.at(0);
    switch (r.code) {
        case kInputSelect:
            out.inputSelectCode = value & 0x0F;
            break;
        case kGain:
            out.gain = value;
            break;
        case kMute:
            out.mute = value;
            break;
        case kPolarity:
            out.polarity = value;
            break;
        case kDelay:
            out.delay = static_cast<uint16_t>(value | (r.at(1) << 8));
            break;
        case kLimLevel:
            out.limLevel = value;
            break;
        case kLimAttack:
            out.limAttack = value;
            break;
        case kLimRelease:
            out.limRelease = value;
            break;
        case kEqPoint:
            setPoint(out.eq, r);
            break;
        case kEqSwitch:
            out.eqSwitch = value;
            break;
        case kHighPass:
            out.hpfType = value;
            out.hpfFreq = r.at(1);
            break;
        case kLowPass:
            out.lpfType = value;
            out.lpfFreq = r.at(1);
            break;
        case kEqReset:
            resetEq(out);
            break;
        case kCopy:
            if (value >= 1 && value <= kOutputs && value - 1 != index) {
                const ChannelOut& src = params_.out[value - 1];
                std::copy_n(&src.eq[0][0], sizeof src.eq, &out.eq[0][0]);
                out.eqSwitch = src.eqSwitch;
                out.hpfType = src.hpfType;
                out.hpfFreq = src.hpfFreq;
                out.lpfType = src.lpfType;
                out.lpfFreq = src.lpfFreq;
            }
            break;
        default:
            break;
    }
}

}  // namespace qel::sim
