// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ReadReplies.h"

#include "device/InputSelect.h"
#include "device/Models.h"
#include "device/OwnedCommand.h"

namespace qel {

namespace {

constexpr size_t kWirePointSize = 5;

// Reply bytes the row of a code takes, 0 for a code without a row read.
size_t rowLength(uint8_t code) {
    switch (code) {
        case param::kGain:
        case param::kMute:
            return kMaxInputs + kMaxOutputs;
        case param::kDelay:
            return size_t{2} * kMaxOutputs;
        case param::kInputSelect:
        case param::kPolarity:
        case param::kLimiterLevel:
        case param::kLimiterAttack:
        case param::kLimiterRelease:
            return kMaxOutputs;
        default:
            return 0;
    }
}

void storeOutputByte(OutputChannel& out, uint32_t modelCode, uint8_t code, uint8_t value) {
    switch (code) {
        case param::kInputSelect:
            out.setInputSelect(inputSetFromUnitCode(modelCode, value));
            break;
        case param::kPolarity:
            out.setPolarity(value);
            break;
        case param::kLimiterLevel:
            out.setLimiterLevel(value);
            break;
        case param::kLimiterAttack:
            out.setLimiterAttack(value);
            break;
        case param::kLimiterRelease:
            out.setLimiterRelease(value);
            break;
        default:
            break;
    }
}

void storeGainOrMute(ModeRecord& record, uint8_t code, const uint8_t* data) {
    for (int i = 0; i < kMaxInputs; ++i) {
        InputChannel& in = record.input(i);
        code == param::kGain ? in.setGain(data[i]) : in.setMute(data[i]);
    }
    for (int k = 0; k < kMaxOutputs; ++k) {
        OutputChannel& out = record.output(k);
        const uint8_t v = data[kMaxInputs + k];
        code == param::kGain ? out.setGain(v) : out.setMute(v);
    }
}

template <typename Channel>
bool storeEqBlock(Channel& channel, const uint8_t* data, size_t length) {
    const size_t switchOffset = Channel::kPoints * kWirePointSize;
    if (length <= switchOffset) return false;
    for (int p = 0; p < Channel::kPoints; ++p)
        channel.point(p) = EqPoint::fromWire(data + static_cast<size_t>(p) * kWirePointSize);
    channel.setEqSwitch(data[switchOffset]);
    return true;
}

}  // namespace

bool storeRowReply(ModeRecord& record, uint32_t modelCode, uint8_t code, const uint8_t* data,
                   size_t length) {
    const size_t needed = rowLength(code);
    if (needed == 0 || length < needed) return false;
    if (code == param::kGain || code == param::kMute) {
        storeGainOrMute(record, code, data);
    } else if (code == param::kDelay) {
        for (int k = 0; k < kMaxOutputs; ++k) {
            const uint8_t* word = data + size_t{2} * static_cast<size_t>(k);
            record.output(k).setDelay(static_cast<uint16_t>(word[0] | (word[1] << 8)));
        }
    } else {
        for (int k = 0; k < kMaxOutputs; ++k)
            storeOutputByte(record.output(k), modelCode, code, data[k]);
    }
    return true;
}

bool storeEqBlockReply(InputChannel& channel, const uint8_t* data, size_t length) {
    return storeEqBlock(channel, data, length);
}

bool storeEqBlockReply(OutputChannel& channel, const uint8_t* data, size_t length) {
    return storeEqBlock(channel, data, length);
}

}  // namespace qel
