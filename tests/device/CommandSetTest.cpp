// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "device/ModeRecord.h"
#include "device/ParamCommands.h"
#include "device/ReadReplies.h"
#include "device/UnitCommands.h"
#include "device/UnitText.h"
#include "link/Packet.h"

namespace qel {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace cmd;

struct Expect {
    uint8_t operation, block, channel, code;
    Bytes payload;
    size_t reply;
    int tries;
    uint32_t timeoutMs;
};

void expectCommand(const OwnedCommand& c, const Expect& e, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(c.operation, e.operation);
    EXPECT_EQ(c.block, e.block);
    EXPECT_EQ(c.channel, e.channel);
    EXPECT_EQ(c.code, e.code);
    EXPECT_EQ(c.payload, e.payload);
    EXPECT_EQ(c.replyLength, e.reply);
    EXPECT_EQ(c.tries, e.tries);
    EXPECT_EQ(c.timeoutMs, e.timeoutMs);
}

TEST(DeviceCommands, UnitWideCommandsCarryTheirTriesAndTimeOuts) {
    const Bytes none = {0, 0};
    expectCommand(disconnectNotice(), {0, 0, 0, 0x00, none, 0, 1, 100}, "disconnect");
    expectCommand(handshakeAck(), {0, 0, 0, 0x01, none, 1, 2, 200}, "ack");
    expectCommand(handshakeState(), {0, 0, 0, 0x02, none, 1, 4, 1000}, "state");
    expectCommand(readModel(), {0, 0, 0, 0x03, none, 1, 2, 200}, "model");
    expectCommand(readDeviceName(), {0, 0, 0, 0x04, none, 20, 2, 200}, "name");
    expectCommand(readPassword(), {0, 0, 0, 0x05, none, 6, 2, 400}, "password");
    expectCommand(writePassword("123450"), {2, 0, 0, 0x05, {1, 2, 3, 4, 5, 0}, 0, 4, 400}, "pw");
    expectCommand(readModeState(), {0, 0, 0, 0x06, none, 2, 1, 400}, "mode state");
    expectCommand(writeModeState(false), {2, 0, 0, 0x06, {0, 0}, 0, 2, 400}, "user");
    expectCommand(writeModeState(true), {2, 0, 0, 0x06, {1, 0}, 0, 2, 400}, "engineering");
    expectCommand(readMeters(), {0, 0, 0, 0x07, none, 12, 4, 400}, "meters");
    expectCommand(storeMode(19), {2, 0, 0, 0x10, {19, 0}, 0, 2, 1400}, "store");
    expectCommand(readCurrentMode(), {0, 0, 0, 0x11, none, 2, 4, 1400}, "current");
    expectCommand(recallMode(4), {2, 0, 0, 0x11, {4, 0}, 0, 1, 2400}, "recall");
    expectCommand(readModeName(7), {0, 0, 0, 0x12, {7, 0}, 30, 4, 1400}, "mode name");
    expectCommand(activateRecalledMode(4), {2, 0, 0, 0x13, {4, 0}, 0, 1, 2400}, "activate");
    expectCommand(activateDownloadedMode(), {2, 0, 0, 0x13, {0, 0}, 0, 2, 2000}, "download");
    expectCommand(stateSettled(), {2, 0, 0, 0x14, none, 0, 2, 400}, "settled");
    EXPECT_STREQ(readCurrentMode().label, "模式序号");
    EXPECT_STREQ(readModeName(0).label, "模式名称");
}

TEST(DeviceCommands, NamesTravelLoweredBy0x20AndComeBackAsSpaces) {
    Bytes expected = {'H' - 0x20, 'A' - 0x20, 'L' - 0x20, 'L' - 0x20, 'E' - 0x20};
    expected.resize(20, 0);
    expectCommand(writeDeviceName("HALLE"), {2, 0, 0, 0x04, expected, 0, 4, 400}, "rename");
    expectCommand(writeModeName("HALLE"), {2, 0, 0, 0x12, expected, 0, 2, 1400}, "slot name");
    EXPECT_EQ(decodeUnitText(expected.data(), expected.size()), "HALLE" + std::string(15, ' '));

    const Bytes zeros(20, 0);
    EXPECT_EQ(decodeUnitText(zeros.data(), zeros.size()), std::string(20, ' '));
    // A mode name reply has 30 bytes; only the first 20 are text.
    Bytes reply(30, 0x21);
    EXPECT_EQ(decodeUnitText(reply.data(), reply.size()), std::string(20, 'A'));
    reply[3] = 0xE0;  // becomes the terminator
    EXPECT_EQ(decodeUnitText(reply.data(), reply.size()), "AAA");
}

TEST(DeviceCommands, NonAsciiAndControlBytesBecomeZero) {
    const auto utf8 = encodeUnitText(
        "A\xE4\xB8\xAD"
        "B");  // "A", one CJK character, "B"
    EXPECT_EQ(Bytes(utf8.begin(), utf8.begin() + 6), (Bytes{0x21, 0, 0, 0, 0x22, 0}));
    const auto gbk = encodeUnitText("\xD6\xD0\x0A~\x7F");
    EXPECT_EQ(Bytes(gbk.begin(), gbk.begin() + 6), (Bytes{0, 0, 0, '~' - 0x20, 0x5F, 0}));
    const auto cut = encodeUnitText(std::string("ab\0cd", 5));
    EXPECT_EQ(Bytes(cut.begin(), cut.begin() + 4), (Bytes{0x41, 0x42, 0, 0}));
    const auto longText = encodeUnitText(std::string(30, ' '));
    EXPECT_EQ(Bytes(longText.begin(), longText.end()), Bytes(20, 0));
    EXPECT_EQ(encodeUnitText("z")[0], 'z' - 0x20);
}

TEST(DeviceCommands, PasswordDigits) {
    EXPECT_EQ(encodePassword("907312"), (std::array<uint8_t, 6>{9, 0, 7, 3, 1, 2}));
    const uint8_t digits[6] = {0, 1, 2, 3, 4, 9};
    EXPECT_EQ(decodePassword(digits), "012349");
    EXPECT_EQ(encodePassword("12"), (std::array<uint8_t, 6>{1, 2, 0, 0, 0, 0}));
    EXPECT_EQ(encodePassword(" 1-2"), (std::array<uint8_t, 6>{0, 1, 0, 2, 0, 0}));
    EXPECT_TRUE(isValidPassword("000000"));
    EXPECT_FALSE(isValidPassword("12345"));
    EXPECT_FALSE(isValidPassword("1234567"));
    EXPECT_FALSE(isValidPassword("12a456"));
    EXPECT_THROW(writePassword("12345"), std::invalid_argument);
}

TEST(DeviceCommands, ChannelWritesAndLoads) {
    const auto I = WriteKind::Interactive;
    const auto L = WriteKind::Load;
    expectCommand(writeDelay(I, 3, 1000), {2, 2, 3, 0x04, {0xE8, 0x03}, 0, 4, 400}, "delay");
    expectCommand(writeDelay(L, 3, 1000), {4, 2, 3, 0x04, {0xE8, 0x03}, 0, 4, 400}, "delay load");
    expectCommand(writeGain(I, inputChannel(2), 0x64), {2, 1, 2, 0x01, {0x64, 0}, 0, 4, 400},
                  "gain");
    expectCommand(writeMute(L, outputChannel(8), 1), {4, 2, 8, 0x02, {1, 0}, 0, 4, 400}, "mute");
    expectCommand(writeInputSelect(I, 1, 5), {2, 2, 1, 0x00, {5, 0}, 0, 4, 400}, "select");
    expectCommand(writePolarity(I, 6, 1), {2, 2, 6, 0x03, {1, 0}, 0, 4, 400}, "polarity");
    expectCommand(writeLimiterLevel(I, 2, 30), {2, 2, 2, 0x05, {30, 0}, 0, 4, 400}, "level");
    expectCommand(writeLimiterAttack(L, 2, 3), {4, 2, 2, 0x06, {3, 0}, 0, 4, 400}, "attack");
    expectCommand(writeLimiterRelease(I, 2, 4), {2, 2, 2, 0x07, {4, 0}, 0, 4, 400}, "release");
    const EqPoint p{1, 0x7A, 0x8F, 4};  // image order: type, gain, freq, Q
    const Bytes pointData = {14, 1, 0x8F, 0x7A, 4, 0};
    expectCommand(writeEqPoint(I, inputChannel(4), 14, p), {2, 1, 4, 0x09, pointData, 0, 4, 400},
                  "point");
    expectCommand(writeEqPoint(L, inputChannel(4), 14, p), {4, 1, 4, 0x09, pointData, 0, 4, 800},
                  "point load");
    expectCommand(writeEqSwitch(L, outputChannel(1), 1), {4, 2, 1, 0x0A, {1, 0}, 0, 4, 800},
                  "switch load");
    expectCommand(writeEqSwitch(I, outputChannel(1), 0), {2, 2, 1, 0x0A, {0, 0}, 0, 4, 400},
                  "switch");
    expectCommand(writeHighPass(L, 5, 7, 30), {4, 2, 5, 0x0B, {7, 30}, 0, 4, 400}, "hpf");
    expectCommand(writeLowPass(I, 5, 2, 200), {2, 2, 5, 0x0C, {2, 200}, 0, 4, 400}, "lpf");
    expectCommand(copyChannel(outputChannel(3), 1), {2, 2, 3, 0x0D, {1, 0}, 0, 4, 400}, "copy");
    expectCommand(resetEq(inputChannel(1)), {2, 1, 1, 0x0F, {0, 0}, 0, 4, 400}, "reset");
}

TEST(DeviceCommands, LinkedWritesListOtherChannelsAscendingWithEvenLength) {
    const EqPoint p{0, 120, 143, 4};
    const Bytes data = {2, 0, 143, 120, 4};
    const int two[] = {2, 3}, three[] = {4, 2, 3}, messy[] = {3, 1, 2, 3};
    auto withTail = [&](Bytes tail) {
        Bytes b = data;
        b.insert(b.end(), tail.begin(), tail.end());
        return b;
    };
    expectCommand(linkedEqPoint(inputChannel(1), 2, p, two),
                  {5, 1, 1, 0x09, withTail({2, 2, 3}), 0, 4, 400}, "two linked");
    expectCommand(linkedEqPoint(inputChannel(1), 2, p, three),
                  {5, 1, 1, 0x09, withTail({3, 2, 3, 4, 0}), 0, 4, 400}, "three linked");
    EXPECT_EQ(linkedEqPoint(inputChannel(1), 2, p, messy).payload, withTail({2, 2, 3}));

    const int one[] = {5}, pair[] = {7, 5};
    expectCommand(linkedHighPass(1, 6, 20, one), {5, 2, 1, 0x0B, {6, 20, 1, 5}, 0, 4, 400}, "hpf");
    expectCommand(linkedHighPass(1, 6, 20, pair), {5, 2, 1, 0x0B, {6, 20, 2, 5, 7, 0}, 0, 4, 400},
                  "hpf two");
    expectCommand(linkedLowPass(8, 0, 255, one), {5, 2, 8, 0x0C, {0, 255, 1, 5}, 0, 4, 400}, "lpf");
    expectCommand(linkedEqSwitch(outputChannel(2), 1, one),
                  {5, 2, 2, 0x0A, {1, 1, 5, 0}, 0, 4, 400}, "switch");
    expectCommand(linkedEqSwitch(outputChannel(2), 1, {}), {5, 2, 2, 0x0A, {1, 0}, 0, 4, 400},
                  "switch alone");
}

TEST(DeviceCommands, OutOfRangeArgumentsAreRefused) {
    const auto I = WriteKind::Interactive;
    EXPECT_THROW(writeGain(I, inputChannel(5), 0), std::invalid_argument);
    EXPECT_THROW(writeGain(I, inputChannel(0), 0), std::invalid_argument);
    EXPECT_THROW(writeDelay(I, 9, 0), std::invalid_argument);
    EXPECT_THROW(writeEqPoint(I, inputChannel(1), 15, {}), std::invalid_argument);
    EXPECT_THROW(writeEqPoint(I, outputChannel(1), 10, {}), std::invalid_argument);
    EXPECT_NO_THROW(writeEqPoint(I, outputChannel(8), 9, {}));
    const int bad[] = {2, 5};
    EXPECT_THROW(linkedEqSwitch(inputChannel(1), 1, bad), std::invalid_argument);
    EXPECT_NO_THROW(linkedEqSwitch(outputChannel(1), 1, bad));
    EXPECT_THROW(copyChannel(inputChannel(1), 5), std::invalid_argument);
    EXPECT_THROW(storeMode(20), std::invalid_argument);
    EXPECT_THROW(recallMode(-1), std::invalid_argument);
    EXPECT_THROW(readModeName(20), std::invalid_argument);
    EXPECT_THROW(readRow(0x08), std::invalid_argument);
}

TEST(DeviceCommands, FullReadCommandsAndTheirLabels) {
    const char* labels[] = {
        "输入输出 0x03, 0x00 - Input select", "输入输出 0x03, 0x01 - Gani",
        "输入输出 0x03, 0x02 - Mute",         "输入输出 0x03, 0x03 - Polarity",
        "输入输出 0x03, 0x04 - Delay",        "输入输出 0x03, 0x05 - Limit Level",
        "输入输出 0x03, 0x06 - Limit Attack", "输入输出 0x03, 0x07 - Limit Release",
    };
    for (uint8_t code = 0; code < 8; ++code) {
        const OwnedCommand c = readRow(code);
        expectCommand(c, {0, 3, 0, code, {0, 0}, 30, 4, 1400}, labels[code]);
        EXPECT_STREQ(c.label, labels[code]);
    }
    const OwnedCommand eq = readEqBlock(inputChannel(2));
    expectCommand(eq, {0, 1, 2, 0x08, {0, 0}, 96, 4, 1800}, "eq block");
    EXPECT_STREQ(eq.label, "0x08 - EQ Block");
    const OwnedCommand hpf = readHighPass(6), lpf = readLowPass(6);
    expectCommand(hpf, {0, 2, 6, 0x0B, {0, 0}, 2, 4, 1400}, "hpf");
    expectCommand(lpf, {0, 2, 6, 0x0C, {0, 0}, 2, 4, 1400}, "lpf");
    EXPECT_STREQ(hpf.label, "0x0B - HPF");
    EXPECT_STREQ(lpf.label, "0x0C - LPF");
    EXPECT_STREQ(kLabelInputDevice, "输入设备 0x01");
    EXPECT_STREQ(kLabelOutputDevice, "输出设备 0x02");
}

TEST(DeviceCommands, OwnedCommandBecomesAQueueCommandAndFrame) {
    const OwnedCommand built = writeDelay(WriteKind::Interactive, 3, 1000);
    Command c = built.toCommand();
    EXPECT_EQ(c.payload, built.payload.data());
    EXPECT_EQ(c.payloadLength, 2u);
    EXPECT_EQ(c.replyDestination, nullptr);
    EXPECT_EQ(c.replyDataLength, 0u);
    EXPECT_EQ(c.tries, 4);
    EXPECT_EQ(c.timeoutMs, 400u);
    uint8_t f[frame::kMaxSize];
    const size_t n = buildFrame(f, sizeof f, c.block, c.operation, c.channel, c.code, c.payload,
                                c.payloadLength, 0x1234);
    ASSERT_EQ(n, 12u);
    EXPECT_EQ(f[5], 0x22);
    EXPECT_EQ(f[8], 3);
    EXPECT_EQ(f[9], 0x04);
    EXPECT_EQ(f[10], 0xE8);
    EXPECT_EQ(f[11], 0x03);

    uint8_t name[20];
    c = readDeviceName().toCommand(name);
    EXPECT_EQ(c.replyDestination, name);
    EXPECT_EQ(c.replyDataLength, 20u);
}

TEST(DeviceCommands, RowRepliesFillTheRecord) {
    ModeRecord r;
    Bytes gains(30, 0);
    for (size_t i = 0; i < 12; ++i) gains[i] = static_cast<uint8_t>(50 + i);
    ASSERT_TRUE(storeRowReply(r, 4, param::kGain, gains.data(), gains.size()));
    EXPECT_EQ(r.input(0).gain(), 50);
    EXPECT_EQ(r.input(3).gain(), 53);
    EXPECT_EQ(r.output(0).gain(), 54);
    EXPECT_EQ(r.output(7).gain(), 61);

    Bytes delays(30, 0);
    delays[0] = 0xE8;
    delays[1] = 0x03;
    delays[14] = 0x34;
    delays[15] = 0x12;
    ASSERT_TRUE(storeRowReply(r, 4, param::kDelay, delays.data(), delays.size()));
    EXPECT_EQ(r.output(0).delay(), 1000);
    EXPECT_EQ(r.output(7).delay(), 0x1234);

    Bytes select(30, 3);
    ASSERT_TRUE(storeRowReply(r, 2, param::kInputSelect, select.data(), select.size()));
    EXPECT_EQ(r.output(0).inputSelect(), 0x3);  // QD206: inputs 1 and 2
    ASSERT_TRUE(storeRowReply(r, 3, param::kInputSelect, select.data(), select.size()));
    EXPECT_EQ(r.output(0).inputSelect(), 0x4);  // QD406: input 3

    Bytes attack = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(storeRowReply(r, 4, param::kLimiterAttack, attack.data(), attack.size()));
    EXPECT_EQ(r.output(7).limiterAttack(), 8);

    const ModeRecord before = r;
    EXPECT_FALSE(storeRowReply(r, 4, param::kGain, gains.data(), 11));
    EXPECT_FALSE(storeRowReply(r, 4, param::kDelay, delays.data(), 15));
    EXPECT_FALSE(storeRowReply(r, 4, param::kEqBlock, gains.data(), gains.size()));
    EXPECT_EQ(r, before);
}

TEST(DeviceCommands, EqBlockRepliesFillPointsAndSwitch) {
    Bytes reply(96, 0);
    for (size_t p = 0; p < 15; ++p) {
        reply[5 * p] = 1;                                  // type
        reply[5 * p + 1] = static_cast<uint8_t>(p);        // frequency
        reply[5 * p + 2] = static_cast<uint8_t>(100 + p);  // gain
        reply[5 * p + 3] = 9;                              // Q
        reply[5 * p + 4] = 0xEE;                           // unused
    }
    reply[50] = 1;  // an output's switch byte
    reply[75] = 1;  // an input's switch byte
    ModeRecord r;
    ASSERT_TRUE(storeEqBlockReply(r.input(1), reply.data(), reply.size()));
    EXPECT_EQ(r.input(1).point(14), (EqPoint{1, 114, 14, 9}));
    EXPECT_EQ(r.input(1).eqSwitch(), 1);
    reply[75] = 0;
    ASSERT_TRUE(storeEqBlockReply(r.output(2), reply.data(), reply.size()));
    EXPECT_EQ(r.output(2).point(9), (EqPoint{1, 109, 9, 9}));
    EXPECT_EQ(r.output(2).eqSwitch(), 1);
    const ModeRecord before = r;
    EXPECT_FALSE(storeEqBlockReply(r.input(0), reply.data(), 75));
    EXPECT_FALSE(storeEqBlockReply(r.output(0), reply.data(), 50));
    EXPECT_EQ(r, before);
}

}  // namespace
}  // namespace qel
