// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ModeRecord.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "device/FixedText.h"

namespace qel {

static_assert(std::is_trivially_copyable_v<ModeRecord>);

uint16_t ModeRecord::usedFlag() const {
    return static_cast<uint16_t>(used_[0] | (used_[1] << 8));
}

void ModeRecord::setUsed(bool used) {
    used_[0] = used ? 1 : 0;
    used_[1] = 0;
}

std::string ModeRecord::name() const {
    return decodeGbk(nameBytes());
}

GbkName ModeRecord::setName(std::string_view name) {
    GbkName gbk = encodeGbk(name, kMaxNameLength);
    if (gbk.ok()) setNameBytes(gbk.bytes);
    return gbk;
}

std::string ModeRecord::nameBytes() const {
    return readFixedText(name_.data(), kMaxNameLength);
}

void ModeRecord::setNameBytes(std::string_view bytes) {
    writeFixedText(name_.data(), name_.size(), kMaxNameLength, bytes);
}

std::string ModeRecord::date() const {
    return readFixedText(date_.data(), kMaxDateLength);
}

void ModeRecord::setDate(std::string_view text) {
    writeFixedText(date_.data(), date_.size(), kMaxDateLength, text);
}

void ModeRecord::setDate(int year, int month, int day) {
    char text[kTextFieldSize * 2];
    std::snprintf(text, sizeof text, "%d-%d-%d", year, month, day);
    setDate(text);
}

void ModeRecord::toBytes(uint8_t* out) const {
    std::memcpy(out, this, kSize);
}

ModeRecord ModeRecord::fromBytes(const uint8_t* bytes) {
    ModeRecord record;
    std::memcpy(&record, bytes, kSize);
    return record;
}

}  // namespace qel
