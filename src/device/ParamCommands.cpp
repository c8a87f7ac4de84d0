// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ParamCommands.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "device/InputChannel.h"
#include "device/Models.h"
#include "device/OutputChannel.h"

namespace qel::cmd {

const char* const kLabelInputDevice = "输入设备 0x01";
const char* const kLabelOutputDevice = "输出设备 0x02";

namespace {

constexpr std::array<const char*, 8> kRowLabels = {
    "输入输出 0x03, 0x00 - Input select", "输入输出 0x03, 0x01 - Gani",
    "输入输出 0x03, 0x02 - Mute",         "输入输出 0x03, 0x03 - Polarity",
    "输入输出 0x03, 0x04 - Delay",        "输入输出 0x03, 0x05 - Limit Level",
    "输入输出 0x03, 0x06 - Limit Attack", "输入输出 0x03, 0x07 - Limit Release",
};
constexpr char kLabelEqBlock[] = "0x08 - EQ Block";
constexpr char kLabelHighPass[] = "0x0B - HPF";
constexpr char kLabelLowPass[] = "0x0C - LPF";

constexpr int kInteractiveTries = 4;
constexpr uint32_t kWriteTimeoutMs = 400, kLoadEqTimeoutMs = 800;
constexpr int kReadTries = 4;
constexpr uint32_t kReadTimeoutMs = 1400, kEqBlockTimeoutMs = 1800;
constexpr size_t kRowReplyLength = 30, kEqBlockReplyLength = 96, kFilterReplyLength = 2;

int channelLimit(Side side) {
    return side == Side::Input ? kMaxInputs : kMaxOutputs;
}
const char* sideName(Side side) {
    return side == Side::Input ? "input" : "output";
}

uint8_t checkedNumber(Side side, int number) {
    if (number < 1 || number > channelLimit(side))
        throw std::invalid_argument(std::string(sideName(side)) + " channel " +
                                    std::to_string(number) + " does not exist");
    return static_cast<uint8_t>(number);
}

uint8_t checkedPoint(Side side, int index) {
    const int points = side == Side::Input ? InputChannel::kPoints : OutputChannel::kPoints;
    if (index < 0 || index >= points)
        throw std::invalid_argument(std::string(sideName(side)) + " EQ point index " +
                                    std::to_string(index) + " does not exist");
    return static_cast<uint8_t>(index);
}

OwnedCommand channelCommand(uint8_t operation, ChannelId channel, uint8_t code,
                            std::vector<uint8_t> payload, int tries, uint32_t timeoutMs) {
    OwnedCommand c;
    c.operation = operation;
    c.block = static_cast<uint8_t>(channel.side);
    c.channel = checkedNumber(channel.side, channel.number);
    c.code = code;
    c.payload = std::move(payload);
    c.tries = tries;
    c.timeoutMs = timeoutMs;
    return c;
}

OwnedCommand write(WriteKind kind, ChannelId channel, uint8_t code, std::vector<uint8_t> payload) {
    const bool load = kind == WriteKind::Load;
    const bool eq = code == param::kEqPoint || code == param::kEqSwitch;
    return channelCommand(load ? op::kLoad : op::kWrite, channel, code, std::move(payload),
                          kInteractiveTries, load && eq ? kLoadEqTimeoutMs : kWriteTimeoutMs);
}

std::vector<uint8_t> eqPointData(Side side, int pointIndex, const EqPoint& point) {
    const auto wire = point.toWire();
    return {checkedPoint(side, pointIndex), wire[0], wire[1], wire[2], wire[3]};
}

OwnedCommand linked(ChannelId channel, uint8_t code, std::vector<uint8_t> payload,
                    std::span<const int> others) {
    std::vector<uint8_t> numbers;
    for (int n : others)
        if (n != channel.number) numbers.push_back(checkedNumber(channel.side, n));
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    payload.push_back(static_cast<uint8_t>(numbers.size()));
    payload.insert(payload.end(), numbers.begin(), numbers.end());
    if (payload.size() % 2 != 0) payload.push_back(0);
    return channelCommand(op::kLinkedWrite, channel, code, std::move(payload), kInteractiveTries,
                          kWriteTimeoutMs);
}

OwnedCommand channelRead(ChannelId channel, uint8_t code, size_t replyLength, uint32_t timeoutMs,
                         const char* label) {
    OwnedCommand c = channelCommand(op::kRead, channel, code, {0, 0}, kReadTries, timeoutMs);
    c.replyLength = replyLength;
    c.label = label;
    return c;
}

}  // namespace

OwnedCommand writeInputSelect(WriteKind kind, int output, uint8_t unitCode) {
    return write(kind, outputChannel(output), param::kInputSelect, {unitCode, 0});
}
OwnedCommand writeGain(WriteKind kind, ChannelId channel, uint8_t code) {
    return write(kind, channel, param::kGain, {code, 0});
}
OwnedCommand writeMute(WriteKind kind, ChannelId channel, uint8_t muted) {
    return write(kind, channel, param::kMute, {muted, 0});
}
OwnedCommand writePolarity(WriteKind kind, int output, uint8_t inverted) {
    return write(kind, outputChannel(output), param::kPolarity, {inverted, 0});
}
OwnedCommand writeDelay(WriteKind kind, int output, uint16_t samples) {
    return write(kind, outputChannel(output), param::kDelay,
                 {static_cast<uint8_t>(samples & 0xFF), static_cast<uint8_t>(samples >> 8)});
}
OwnedCommand writeLimiterLevel(WriteKind kind, int output, uint8_t code) {
    return write(kind, outputChannel(output), param::kLimiterLevel, {code, 0});
}
OwnedCommand writeLimiterAttack(WriteKind kind, int output, uint8_t index) {
    return write(kind, outputChannel(output), param::kLimiterAttack, {index, 0});
}
OwnedCommand writeLimiterRelease(WriteKind kind, int output, uint8_t index) {
    return write(kind, outputChannel(output), param::kLimiterRelease, {index, 0});
}
OwnedCommand writeEqPoint(WriteKind kind, ChannelId channel, int pointIndex, const EqPoint& point) {
    auto data = eqPointData(channel.side, pointIndex, point);
    data.push_back(0);
    return write(kind, channel, param::kEqPoint, std::move(data));
}
OwnedCommand writeEqSwitch(WriteKind kind, ChannelId channel, uint8_t on) {
    return write(kind, channel, param::kEqSwitch, {on, 0});
}
OwnedCommand writeHighPass(WriteKind kind, int output, uint8_t type, uint8_t freqCode) {
    return write(kind, outputChannel(output), param::kHighPass, {type, freqCode});
}
OwnedCommand writeLowPass(WriteKind kind, int output, uint8_t type, uint8_t freqCode) {
    return write(kind, outputChannel(output), param::kLowPass, {type, freqCode});
}
OwnedCommand copyChannel(ChannelId channel, int sourceNumber) {
    const uint8_t source = checkedNumber(channel.side, sourceNumber);
    return write(WriteKind::Interactive, channel, param::kCopyChannel, {source, 0});
}
OwnedCommand resetEq(ChannelId channel) {
    return write(WriteKind::Interactive, channel, param::kEqReset, {0, 0});
}

OwnedCommand linkedEqPoint(ChannelId channel, int pointIndex, const EqPoint& point,
                           std::span<const int> others) {
    return linked(channel, param::kEqPoint, eqPointData(channel.side, pointIndex, point), others);
}
OwnedCommand linkedEqSwitch(ChannelId channel, uint8_t on, std::span<const int> others) {
    return linked(channel, param::kEqSwitch, {on}, others);
}
OwnedCommand linkedHighPass(int output, uint8_t type, uint8_t freqCode,
                            std::span<const int> others) {
    return linked(outputChannel(output), param::kHighPass, {type, freqCode}, others);
}
OwnedCommand linkedLowPass(int output, uint8_t type, uint8_t freqCode,
                           std::span<const int> others) {
    return linked(outputChannel(output), param::kLowPass, {type, freqCode}, others);
}

OwnedCommand readRow(uint8_t code) {
    if (code >= kRowLabels.size())
        throw std::invalid_argument("code " + std::to_string(code) + " has no whole-row read");
    OwnedCommand c;
    c.operation = op::kRead;
    c.block = block::kAllChannels;
    c.code = code;
    c.replyLength = kRowReplyLength;
    c.tries = kReadTries;
    c.timeoutMs = kReadTimeoutMs;
    c.label = kRowLabels[code];
    return c;
}
OwnedCommand readEqBlock(ChannelId channel) {
    return channelRead(channel, param::kEqBlock, kEqBlockReplyLength, kEqBlockTimeoutMs,
                       kLabelEqBlock);
}
OwnedCommand readHighPass(int output) {
    return channelRead(outputChannel(output), param::kHighPass, kFilterReplyLength, kReadTimeoutMs,
                       kLabelHighPass);
}
OwnedCommand readLowPass(int output) {
    return channelRead(outputChannel(output), param::kLowPass, kFilterReplyLength, kReadTimeoutMs,
                       kLabelLowPass);
}

}  // namespace qel::cmd
