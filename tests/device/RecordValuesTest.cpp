// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include "device/Models.h"
#include "device/RecordValues.h"

namespace qel {
namespace {

TEST(DeviceRecordValues, ListIndicesPastTheirListsSelectNothing) {
    EXPECT_EQ(limiterAttackMs(0), 1);
    EXPECT_EQ(limiterAttackMs(11), 90);
    EXPECT_FALSE(limiterAttackMs(12).has_value());
    EXPECT_FALSE(limiterAttackMs(255).has_value());
    EXPECT_EQ(limiterReleaseMs(12), 1000);
    EXPECT_FALSE(limiterReleaseMs(13).has_value());
}

TEST(DeviceRecordValues, EveryByteGivesAValueOnTheModelsChannels) {
    ModeRecord r;
    r.setUsed(true);
    r.setName("Front of house");
    OutputChannel& out = r.output(5);
    out.setGain(100);          // 0 dB
    out.setDelay(4800);        // 100 ms
    out.setLimiterLevel(255);  // past the fader's top: shown as stored
    out.setLimiterAttack(200);
    out.setHighPassType(8);
    out.setHighPassFreq(0);  // off
    out.setLowPassFreq(143);
    out.point(9) = EqPoint{2, 255, 255, 255};
    out.setInputSelect(0xF3);  // only the low four bits are inputs

    const RecordValues v = recordValues(r, model::kQD206);
    EXPECT_TRUE(v.used);
    EXPECT_EQ(v.name, "Front of house");
    ASSERT_EQ(v.inputs.size(), 2u);
    ASSERT_EQ(v.outputs.size(), 6u);
    const OutputValues& o = v.outputs[5];
    EXPECT_DOUBLE_EQ(o.gainDb, 0.0);
    EXPECT_DOUBLE_EQ(o.delayMs, 100.0);
    EXPECT_DOUBLE_EQ(o.limiterDb, 117.5);
    EXPECT_FALSE(o.attackMs.has_value());
    EXPECT_EQ(o.releaseMs, 10);
    EXPECT_EQ(o.highPassName, "Lik-Riley  -36dB");
    EXPECT_TRUE(o.highPassOff);
    EXPECT_FALSE(o.lowPassOff);
    EXPECT_DOUBLE_EQ(o.lowPassHz, 1000.0);
    EXPECT_EQ(o.inputSet, 0x3);
    EXPECT_DOUBLE_EQ(o.points[9].gainDb, 12.0);  // gain code past 180 shows the top
    EXPECT_DOUBLE_EQ(o.points[9].q, 36.0);
    EXPECT_EQ(recordValues(r, 9).outputs.size(), 8u);  // unknown model: all channels
}

}  // namespace
}  // namespace qel
