// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "device/ModeImage.h"
#include "device/ModeRecord.h"

namespace qel {
namespace {

std::vector<uint8_t> bytesOf(const ModeImage& image) {
    std::vector<uint8_t> b(ModeImage::kSize);
    image.toBytes(b.data());
    return b;
}

// Offset of an output channel field within the whole image.
constexpr size_t outputAt(int k, size_t field) {
    return ModeImage::kRecordOffset + 322 + 56 * static_cast<size_t>(k) + field;
}
constexpr size_t inputAt(int i, size_t field) {
    return ModeImage::kRecordOffset + 50 + 68 * static_cast<size_t>(i) + field;
}

TEST(DeviceModeImage, FreshImageIsAllZero) {
    const auto b = bytesOf(ModeImage{});
    for (uint8_t v : b) ASSERT_EQ(v, 0);
}

TEST(DeviceModeImage, InputFieldsLandAtTheirOffsets) {
    ModeImage image;
    InputChannel& in = image.record().input(3);
    in.setGain(0x11);
    in.setMute(1);
    in.setEqSwitch(1);
    in.point(0) = {2, 0x22, 0x33, 0x44};  // image order: type, gain, freq, Q
    in.point(14) = {1, 0x55, 0x66, 0x77};
    const auto b = bytesOf(image);
    EXPECT_EQ(inputAt(3, 0), 244u + 50 + 204);
    EXPECT_EQ(b[inputAt(3, 0)], 0x11);
    EXPECT_EQ(b[inputAt(3, 1)], 1);
    EXPECT_EQ(b[inputAt(3, 2)], 1);
    EXPECT_EQ((std::vector<uint8_t>(b.begin() + inputAt(3, 6), b.begin() + inputAt(3, 10))),
              (std::vector<uint8_t>{2, 0x22, 0x33, 0x44}));
    EXPECT_EQ(b[inputAt(3, 62)], 1);
    EXPECT_EQ(b[inputAt(3, 65)], 0x77);
    EXPECT_EQ(b[inputAt(3, 66)], 0);  // reserved tail untouched
    EXPECT_EQ(b[inputAt(2, 0)], 0);
}

TEST(DeviceModeImage, OutputFieldsLandAtTheirOffsets) {
    ModeImage image;
    OutputChannel& out = image.record().output(7);
    out.setGain(1);
    out.setMute(2);
    out.setEqSwitch(3);
    out.setDelay(0x1234);
    out.point(9) = {4, 5, 6, 7};
    out.setInputSelect(0x0B);
    out.setPolarity(1);
    out.setLimiterLevel(0x48);
    out.setLimiterAttack(0x49);
    out.setLimiterRelease(0x50);
    out.setLowPassType(5);
    out.setLowPassFreq(0x52);
    out.setHighPassType(6);
    out.setHighPassFreq(0x54);
    const auto b = bytesOf(image);
    const std::vector<uint8_t> expected = {1, 2, 3, 0, 0x34, 0x12};
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + outputAt(7, 0), b.begin() + outputAt(7, 6)),
              expected);
    EXPECT_EQ(b[outputAt(7, 42)], 4);
    EXPECT_EQ(b[outputAt(7, 45)], 7);
    const std::vector<uint8_t> tail = {0x0B, 1, 0x48, 0x49, 0x50, 5, 0x52, 6, 0x54, 0};
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + outputAt(7, 46), b.begin() + outputAt(7, 56)), tail);
    EXPECT_EQ(outputAt(7, 56), 244u + 770);  // the last output ends at the reserved bytes
}

TEST(DeviceModeImage, RecordHeaderAndUnitAreas) {
    ModeImage image;
    image.record().setUsed(true);
    image.record().setName("Stage left");
    image.record().setDate(2024, 3, 9);
    image.setCurrentMode(0x01020304);
    image.setDeviceModeName(19, "LAST");
    const uint8_t meters[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    image.setMeters(meters);
    const auto b = bytesOf(image);
    EXPECT_EQ(b[244], 1);
    EXPECT_EQ(b[245], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[246])), "Stage left");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[270])), "2024-3-9");
    EXPECT_EQ((std::vector<uint8_t>(b.begin() + 1020, b.begin() + 1024)),
              (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[1024 + 19 * 32])), "LAST");
    EXPECT_EQ(b[1664], 1);
    EXPECT_EQ(b[1675], 12);
    EXPECT_EQ(image.inputMeter(3), 4);
    EXPECT_EQ(image.outputMeter(0), 5);
    EXPECT_EQ(image.outputMeter(7), 12);
    for (size_t i = 0; i < 244; ++i) ASSERT_EQ(b[i], 0);
}

TEST(DeviceModeImage, BytesRoundTripAndRecordCopies) {
    std::vector<uint8_t> raw(ModeImage::kSize);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i * 7 + 3);
    const ModeImage image = ModeImage::fromBytes(raw.data());
    EXPECT_EQ(bytesOf(image), raw);
    EXPECT_EQ(image.record().output(0).delay(), raw[outputAt(0, 4)] | raw[outputAt(0, 5)] << 8);

    std::vector<uint8_t> record(ModeRecord::kSize);
    image.record().toBytes(record.data());
    EXPECT_TRUE(std::equal(record.begin(), record.end(), raw.begin() + 244));
    ModeImage other;
    other.record() = ModeRecord::fromBytes(record.data());
    EXPECT_EQ(other.record(), image.record());
    EXPECT_NE(other, image);  // the areas outside the record were not copied
}

TEST(DeviceModeImage, TextsAreCutToTheirFields) {
    ModeRecord r;
    r.setName("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(r.name(), "ABCDEFGHIJKLMNOPQRST");
    r.setName(std::string("ab\0cd", 5));
    EXPECT_EQ(r.name(), "ab");
    r.setName("");
    EXPECT_EQ(r.name(), "");
    r.setDate("12345678901234567890123456789");
    EXPECT_EQ(r.date().size(), 23u);

    // A name as read from a file may fill all 24 bytes without a terminator.
    std::vector<uint8_t> raw(ModeRecord::kSize, 'x');
    raw[0] = 1;
    raw[1] = 0;
    const ModeRecord full = ModeRecord::fromBytes(raw.data());
    EXPECT_TRUE(full.isUsed());
    EXPECT_EQ(full.name(), std::string(20, 'x'));

    raw[0] = 0;
    raw[1] = 1;  // only the high byte of the flag set
    EXPECT_TRUE(ModeRecord::fromBytes(raw.data()).isUsed());
    EXPECT_EQ(ModeRecord::fromBytes(raw.data()).usedFlag(), 0x100);

    ModeImage image;
    image.setDeviceModeName(0, std::string(40, 'n'));
    EXPECT_EQ(image.deviceModeName(0), std::string(20, 'n'));
}

TEST(DeviceModeImage, IndicesOutsideTheLayoutThrow) {
    ModeImage image;
    ModeRecord& r = image.record();
    EXPECT_THROW(r.input(4), std::out_of_range);
    EXPECT_THROW(r.input(-1), std::out_of_range);
    EXPECT_THROW(r.output(8), std::out_of_range);
    EXPECT_THROW(r.input(0).point(15), std::out_of_range);
    EXPECT_THROW(r.output(0).point(10), std::out_of_range);
    EXPECT_THROW(image.deviceModeName(20), std::out_of_range);
    EXPECT_THROW(image.setDeviceModeName(-1, "x"), std::out_of_range);
    EXPECT_THROW(image.inputMeter(4), std::out_of_range);
    EXPECT_THROW(image.outputMeter(8), std::out_of_range);
    EXPECT_EQ(bytesOf(image), bytesOf(ModeImage{}));
}

TEST(DeviceModeImage, CrossoverTypesAboveEightAreStoredAsEight) {
    OutputChannel out;
    out.setHighPassType(12);
    out.setLowPassType(9);
    EXPECT_EQ(out.highPassType(), 8);
    EXPECT_EQ(out.lowPassType(), 8);
}

TEST(DeviceModeImage, EqPointOrderDiffersOnTheWire) {
    const EqPoint p{1, 0x78, 0x8F, 4};  // type, gain, freq, Q
    EXPECT_EQ(p.toWire(), (std::array<uint8_t, 4>{1, 0x8F, 0x78, 4}));
    const uint8_t wire[] = {2, 0x10, 0x20, 0x30, 0xEE};
    EXPECT_EQ(EqPoint::fromWire(wire), (EqPoint{2, 0x20, 0x10, 0x30}));
    EXPECT_EQ(EqPoint::fromWire(p.toWire().data()), p);
}

TEST(DeviceModeImage, ChannelCopyTakesEqAndFiltersOnly) {
    ModeRecord r;
    OutputChannel& src = r.output(0);
    src.setGain(10);
    src.setEqSwitch(1);
    src.point(3) = {0, 1, 2, 3};
    src.setHighPassType(2);
    src.setHighPassFreq(40);
    src.setLowPassType(7);
    src.setLowPassFreq(200);
    OutputChannel& dst = r.output(5);
    dst.setGain(99);
    dst.copyEqAndFiltersFrom(src);
    EXPECT_EQ(dst.gain(), 99);
    EXPECT_EQ(dst.eqSwitch(), 1);
    EXPECT_EQ(dst.point(3), src.point(3));
    EXPECT_EQ(dst.highPassFreq(), 40);
    EXPECT_EQ(dst.lowPassType(), 7);

    r.input(0).setMute(1);
    r.input(0).point(14) = {2, 3, 4, 5};
    r.input(1).copyEqFrom(r.input(0));
    EXPECT_EQ(r.input(1).point(14), r.input(0).point(14));
    EXPECT_EQ(r.input(1).mute(), 0);
}

}  // namespace
}  // namespace qel
