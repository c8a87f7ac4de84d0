// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "device/FreqTable.h"
#include "device/InputSelect.h"
#include "device/Models.h"
#include "device/ValueCodes.h"

namespace qel {
namespace {

TEST(DeviceValueCodes, EqGainLimitsAndRoundsToFifthsAwayFromZero) {
    struct Case {
        double db;
        double value;
        int code;
    };
    const Case cases[] = {
        {13.0, 12.0, 180},  {12.0, 12.0, 180}, {-30.0, -24.0, 0},  {-24.0, -24.0, 0},
        {0.09, 0.0, 120},   {0.1, 0.2, 121},   {-0.1, -0.2, 119},  {0.0, 0.0, 120},
        {-0.09, 0.0, 120},  {0.3, 0.4, 122},   {-12.0, -12.0, 60}, {11.9, 12.0, 180},
        {-23.95, -24.0, 0}, {6.2, 6.2, 151},   {-6.2, -6.2, 89},   {-0.3, -0.4, 118},
    };
    for (const auto& c : cases) {
        const Quantized q = QuantizeEqGain(c.db);
        EXPECT_NEAR(q.value, c.value, 1e-9) << c.db;
        EXPECT_EQ(q.code, c.code) << c.db;
    }
    EXPECT_EQ(QuantizeEqGain(std::numeric_limits<double>::infinity()).code, 180);
    EXPECT_EQ(QuantizeEqGain(-std::numeric_limits<double>::infinity()).code, 0);
    EXPECT_EQ(QuantizeEqGain(std::nan("")).code, 0);
}

TEST(DeviceValueCodes, EveryEqGainCodeSurvivesTheRoundTrip) {
    for (int code = 0; code <= kEqGainCodeMax; ++code) {
        const Quantized q = QuantizeEqGain(eqGainDb(static_cast<uint8_t>(code)));
        EXPECT_EQ(q.code, code);
        EXPECT_NEAR(q.value, eqGainDb(static_cast<uint8_t>(code)), 1e-9);
    }
    EXPECT_DOUBLE_EQ(eqGainDb(kEqGainCodeZeroDb), 0.0);
}

TEST(DeviceValueCodes, QLimitsAndRounds) {
    EXPECT_EQ(QuantizeQ(0.1).code, 0);
    EXPECT_NEAR(QuantizeQ(0.1).value, 0.2, 1e-9);
    EXPECT_EQ(QuantizeQ(1.0).code, 4);
    EXPECT_EQ(QuantizeQ(40.0).code, 179);
    EXPECT_NEAR(QuantizeQ(40.0).value, 36.0, 1e-9);
    EXPECT_EQ(QuantizeQ(1.1).code, 5);  // a half step rounds up
    EXPECT_NEAR(QuantizeQ(1.1).value, 1.2, 1e-9);
    EXPECT_EQ(QuantizeQ(1.09).code, 4);
    EXPECT_EQ(QuantizeQ(std::nan("")).code, 0);
    for (int code = 0; code <= kEqQCodeMax; ++code)
        EXPECT_EQ(QuantizeQ(eqQ(static_cast<uint8_t>(code))).code, code);
}

TEST(DeviceValueCodes, FrequencyPicksNearestEntryAndLowerOnTie) {
    EXPECT_EQ(QuantizeFreq(1000).code, 143);
    EXPECT_EQ(QuantizeFreq(1014).code, 143);  // 14 Hz from both 1000 and 1028
    EXPECT_EQ(QuantizeFreq(1015).code, 144);
    EXPECT_FLOAT_EQ(static_cast<float>(QuantizeFreq(1015).value), 1028.0f);
    EXPECT_EQ(QuantizeFreq(10).code, 0);
    EXPECT_EQ(QuantizeFreq(30000).code, 255);
    EXPECT_EQ(QuantizeFreq(std::nan("")).code, 0);
    for (size_t i = 0; i < FreqTable.size(); ++i) EXPECT_EQ(QuantizeFreq(FreqTable[i]).code, i);
}

TEST(DeviceValueCodes, FrequencyTableSamples) {
    EXPECT_FLOAT_EQ(FreqTable[0], 19.8f);
    EXPECT_FLOAT_EQ(FreqTable[15], 30.0f);
    EXPECT_FLOAT_EQ(FreqTable[59], 100.0f);
    EXPECT_FLOAT_EQ(FreqTable[127], 645.0f);
    EXPECT_FLOAT_EQ(FreqTable[143], 1000.0f);
    EXPECT_FLOAT_EQ(FreqTable[200], 4767.0f);
    EXPECT_FLOAT_EQ(FreqTable[229], 10552.0f);
    EXPECT_FLOAT_EQ(FreqTable[255], 21513.0f);
    // About 1/25 octave per step everywhere.
    for (size_t i = 1; i < FreqTable.size(); ++i) {
        const double octaves = std::log2(FreqTable[i] / FreqTable[i - 1]);
        EXPECT_GT(octaves, 0.02) << i;
        EXPECT_LT(octaves, 0.06) << i;
    }
}

TEST(DeviceValueCodes, LevelsAndDelay) {
    EXPECT_DOUBLE_EQ(gainDb(100), 0.0);
    EXPECT_DOUBLE_EQ(gainDb(0), -50.0);
    EXPECT_EQ(gainCode(-12.5), 75);
    EXPECT_EQ(gainCode(-60), 0);
    EXPECT_EQ(gainCode(500), 255);
    EXPECT_DOUBLE_EQ(limiterLevelDb(20), 0.0);
    EXPECT_EQ(limiterLevelCode(-10), 0);
    EXPECT_EQ(limiterLevelCode(limiterLevelDb(37)), 37);
    EXPECT_DOUBLE_EQ(delayMs(48), 1.0);
    EXPECT_DOUBLE_EQ(delayMs(1000), 1000.0 / 48);
    EXPECT_EQ(delaySamples(1000.0 / 48), 1000);
    EXPECT_EQ(delaySamples(-1), 0);
    EXPECT_EQ(delaySamples(1e9), 65535);
}

TEST(DeviceValueCodes, CrossoverNamesAndClamp) {
    EXPECT_EQ(crossoverTypeName(0), "BtWorth -12dB");
    EXPECT_EQ(crossoverTypeName(3), "Bessel -12dB");
    EXPECT_EQ(crossoverTypeName(6), "Lik-Riley  -12dB");
    EXPECT_EQ(crossoverTypeName(8), "Lik-Riley  -36dB");
    EXPECT_EQ(crossoverTypeName(200), "Lik-Riley  -36dB");
    EXPECT_EQ(clampCrossoverType(9), 8);
    EXPECT_EQ(clampCrossoverType(7), 7);
}

TEST(DeviceModels, NamesAndChannelCounts) {
    EXPECT_EQ(modelName(2), "QD206");
    EXPECT_EQ(modelName(3), "QD406");
    EXPECT_EQ(modelName(4), "QD408");
    EXPECT_EQ(modelName(5), "");
    EXPECT_EQ(modelName(0), "");
    EXPECT_EQ(inputCount(2), 2);
    EXPECT_EQ(outputCount(2), 6);
    EXPECT_EQ(inputCount(3), 4);
    EXPECT_EQ(outputCount(3), 6);
    EXPECT_EQ(inputCount(4), 4);
    EXPECT_EQ(outputCount(4), 8);
    EXPECT_EQ(inputCount(7), 0);
    EXPECT_EQ(outputCount(1), 0);
}

TEST(DeviceInputSelect, QD206PairsInputsOneAndTwoInBothDirections) {
    EXPECT_EQ(inputSetFromUnitCode(model::kQD206, 3), 0x3);
    EXPECT_EQ(inputSetFromUnitCode(model::kQD406, 3), 0x4);
    EXPECT_EQ(inputSetFromUnitCode(model::kQD408, 3), 0x4);
    EXPECT_EQ(unitCodeFromInputSet(model::kQD206, 0x3), 3);
    EXPECT_EQ(unitCodeFromInputSet(model::kQD406, 0x3), 5);
    EXPECT_EQ(unitCodeFromInputSet(model::kQD406, 0x4), 3);
    // Other codes mean the same on every model.
    EXPECT_EQ(inputSetFromUnitCode(model::kQD206, 5), 0x3);
    EXPECT_EQ(unitCodeFromInputSet(model::kQD206, 0x1), 1);
    EXPECT_EQ(unitCodeFromInputSet(model::kQD206, 0x2), 2);
    EXPECT_EQ(unitCodeFromInputSet(model::kQD206, 0x0), 0);
}

TEST(DeviceInputSelect, TableRoundTripsAndReadsLowNibble) {
    const uint8_t expected[16] = {0x0, 0x1, 0x2, 0x4, 0x8, 0x3, 0x5, 0x9,
                                  0x6, 0xA, 0xC, 0x7, 0xB, 0xD, 0xE, 0xF};
    for (uint8_t code = 0; code < 16; ++code) {
        EXPECT_EQ(inputSetFromUnitCode(model::kQD406, code), expected[code]);
        EXPECT_EQ(inputSetFromUnitCode(model::kQD408, static_cast<uint8_t>(code | 0xF0)),
                  expected[code]);
        EXPECT_EQ(unitCodeFromInputSet(model::kQD408, expected[code]), code);
    }
    EXPECT_EQ(unitCodeFromInputSet(model::kQD408, 0xF3), 5);
}

}  // namespace
}  // namespace qel
