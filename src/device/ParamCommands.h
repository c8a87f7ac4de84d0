// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <span>

#include "device/EqPoint.h"
#include "device/OwnedCommand.h"

namespace qel::cmd {

// Channel parameter commands. Channel numbers are 1-based: inputs 1..4, outputs 1..8. Builders
// throw std::invalid_argument for a channel, point index or row code out of range.

enum class Side : uint8_t { Input = block::kInput, Output = block::kOutput };

struct ChannelId {
    Side side = Side::Input;
    int number = 1;
    friend bool operator==(const ChannelId&, const ChannelId&) = default;
};
constexpr ChannelId inputChannel(int number) {
    return {Side::Input, number};
}
constexpr ChannelId outputChannel(int number) {
    return {Side::Output, number};
}

// Interactive edits go out as writes (op 2), a full download as loads (op 4, EQ points and
// EQ switches with longer time-outs).
enum class WriteKind : uint8_t { Interactive, Load };

// Trace labels of the full read that stand before a group of commands.
extern const char* const kLabelInputDevice;   // before the input EQ blocks
extern const char* const kLabelOutputDevice;  // before the output filters and EQ blocks

// Writes. writeInputSelect takes the unit code of the input set (see InputSelect.h).
OwnedCommand writeInputSelect(WriteKind kind, int output, uint8_t unitCode);
OwnedCommand writeGain(WriteKind kind, ChannelId channel, uint8_t code);
OwnedCommand writeMute(WriteKind kind, ChannelId channel, uint8_t muted);
OwnedCommand writePolarity(WriteKind kind, int output, uint8_t inverted);
OwnedCommand writeDelay(WriteKind kind, int output, uint16_t samples);
OwnedCommand writeLimiterLevel(WriteKind kind, int output, uint8_t code);
OwnedCommand writeLimiterAttack(WriteKind kind, int output, uint8_t index);
OwnedCommand writeLimiterRelease(WriteKind kind, int output, uint8_t index);
// pointIndex is 0-based: 0..14 on an input, 0..9 on an output.
OwnedCommand writeEqPoint(WriteKind kind, ChannelId channel, int pointIndex, const EqPoint& point);
OwnedCommand writeEqSwitch(WriteKind kind, ChannelId channel, uint8_t on);
OwnedCommand writeHighPass(WriteKind kind, int output, uint8_t type, uint8_t freqCode);
OwnedCommand writeLowPass(WriteKind kind, int output, uint8_t type, uint8_t freqCode);
// The channel takes over the source's EQ points and switch (outputs: also both filters).
OwnedCommand copyChannel(ChannelId channel, int sourceNumber);
OwnedCommand resetEq(ChannelId channel);

// Linked writes (op 5): the data of the write, the count of the other linked channels, their
// numbers ascending, and a zero byte when the length is odd. linked may list the addressed
// channel and repeats; they are left out.
OwnedCommand linkedEqPoint(ChannelId channel, int pointIndex, const EqPoint& point,
                           std::span<const int> linked);
OwnedCommand linkedEqSwitch(ChannelId channel, uint8_t on, std::span<const int> linked);
OwnedCommand linkedHighPass(int output, uint8_t type, uint8_t freqCode,
                            std::span<const int> linked);
OwnedCommand linkedLowPass(int output, uint8_t type, uint8_t freqCode, std::span<const int> linked);

// Reads of the full read.
// A whole parameter row (codes 0x00..0x07) of all channels: block 3, 30 bytes, 4 x 1400 ms.
OwnedCommand readRow(uint8_t code);
// A channel's EQ points and switch: 96 bytes, 4 x 1800 ms.
OwnedCommand readEqBlock(ChannelId channel);
// An output's filter [type, frequency code]: 2 bytes, 4 x 1400 ms.
OwnedCommand readHighPass(int output);
OwnedCommand readLowPass(int output);

}  // namespace qel::cmd
