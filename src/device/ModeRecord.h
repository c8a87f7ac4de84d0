// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/GbkText.h"
#include "device/InputChannel.h"
#include "device/Models.h"
#include "device/OutputChannel.h"

namespace qel {

// One mode: every channel's settings plus a name and a save date. 776 bytes, byte for byte
// the record of a mode file and the mode record inside a ModeImage. Channel records are
// always laid out for 4 inputs and 8 outputs; a model uses the first 2 or 4 and 6 or 8.
class ModeRecord {
public:
    static constexpr size_t kSize = 776;
    static constexpr size_t kUsedOffset = 0, kNameOffset = 2, kDateOffset = 26, kInputsOffset = 50,
                            kOutputsOffset = 322, kReservedOffset = 770;
    static constexpr size_t kTextFieldSize = 24, kMaxNameLength = 20, kMaxDateLength = 23;

    // Used flag, 16-bit little-endian: 1 when the record holds a saved mode.
    uint16_t usedFlag() const;
    bool isUsed() const { return usedFlag() != 0; }
    void setUsed(bool used);

    // Name: at most 20 bytes, zero-terminated, in GBK as the Windows program writes it.
    // name() is UTF-8, leniently decoded (bytes GBK does not define show as U+FFFD).
    std::string name() const;
    // Takes a UTF-8 name, cut between characters at 20 bytes; a name with characters GBK
    // lacks changes nothing. Says how it went.
    GbkName setName(std::string_view name);
    // The name's bytes as they stand in the field; setting cuts at 20 bytes.
    std::string nameBytes() const;
    void setNameBytes(std::string_view bytes);
    // Save date as text "year-month-day" without leading zeros.
    std::string date() const;
    void setDate(std::string_view text);
    void setDate(int year, int month, int day);

    // Channels by 0-based index: inputs 0..3, outputs 0..7; others throw std::out_of_range.
    InputChannel& input(int index) { return inputs_.at(static_cast<size_t>(index)); }
    const InputChannel& input(int index) const { return inputs_.at(static_cast<size_t>(index)); }
    OutputChannel& output(int index) { return outputs_.at(static_cast<size_t>(index)); }
    const OutputChannel& output(int index) const { return outputs_.at(static_cast<size_t>(index)); }

    // Raw form, exactly kSize bytes.
    void toBytes(uint8_t* out) const;
    static ModeRecord fromBytes(const uint8_t* bytes);

    friend bool operator==(const ModeRecord&, const ModeRecord&) = default;

private:
    struct LayoutCheck;

    std::array<uint8_t, 2> used_{};
    std::array<uint8_t, kTextFieldSize> name_{};
    std::array<uint8_t, kTextFieldSize> date_{};
    std::array<InputChannel, kMaxInputs> inputs_{};
    std::array<OutputChannel, kMaxOutputs> outputs_{};
    std::array<uint8_t, 6> reserved_{};
};

struct ModeRecord::LayoutCheck {
    static_assert(sizeof(ModeRecord) == kSize);
    static_assert(offsetof(ModeRecord, used_) == kUsedOffset);
    static_assert(offsetof(ModeRecord, name_) == kNameOffset);
    static_assert(offsetof(ModeRecord, date_) == kDateOffset);
    static_assert(offsetof(ModeRecord, inputs_) == kInputsOffset);
    static_assert(offsetof(ModeRecord, outputs_) == kOutputsOffset);
    static_assert(offsetof(ModeRecord, reserved_) == kReservedOffset);
};

}  // namespace qel
