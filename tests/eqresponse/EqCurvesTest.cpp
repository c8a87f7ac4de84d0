// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "eqresponse/EqCurves.h"
#include "eqresponse/XoverShapeTables.h"

namespace qel {
namespace {

// The EQ pages' plot: a 950 x 294 view.
constexpr int kW = 908, kH = 266;

EqCurves curvesWith(std::vector<EqPoint> points) {
    EqCurves c;
    c.setPlotSize(kW, kH);
    c.setPoints(points);
    c.recomputeAll();
    return c;
}

float lowest(const EqCurves::Row& r) {
    return *std::min_element(r.begin(), r.end());
}

TEST(EqCurves, FlatPointsGiveZeroRows) {
    // 0 dB of every type, and types the pages never send.
    const auto c = curvesWith(
        {{0, 120, 143, 4}, {1, 120, 60, 4}, {2, 120, 200, 4}, {3, 180, 143, 4}, {7, 0, 10, 0}});
    for (int i = 0; i < c.count(); ++i)
        for (float v : c.row(i)) ASSERT_EQ(v, 0.0f) << "row " << i;
}

TEST(EqCurves, CutMirrorsBoostAndPeakHasItsHeight) {
    for (uint8_t type : {0, 1, 2}) {
        const auto c = curvesWith({{type, 180, 143, 4}, {type, 60, 143, 4}});
        for (size_t j = 0; j < EqCurves::kColumns; ++j)
            ASSERT_FLOAT_EQ(c.row(1)[j], -c.row(0)[j]) << "type " << int{type} << " column " << j;
        // +12 dB reaches 12 * (H - 2) / 36 pixels above the 0 dB line.
        EXPECT_NEAR(lowest(c.row(0)), -12.0f * (kH - 2) / 36, 1e-3) << int{type};
    }
    // A 1000 Hz peak (shift 150) is centred on column 151 and falls off to both sides.
    const auto c = curvesWith({{0, 180, 143, 4}});
    EXPECT_FLOAT_EQ(c.row(0)[151], lowest(c.row(0)));
    EXPECT_GT(c.row(0)[120], c.row(0)[140]);
    EXPECT_GT(c.row(0)[180], c.row(0)[160]);
    EXPECT_NEAR(c.row(0)[0], 0, 0.05);
    // A narrower Q is narrower.
    const auto narrow = curvesWith({{0, 180, 143, 40}});
    EXPECT_GT(narrow.row(0)[140], c.row(0)[140]);
}

TEST(EqCurves, ShelvesHoldTheirGainOnTheirSide) {
    const auto c = curvesWith({{1, 180, 143, 4}, {2, 180, 143, 4}});
    const float full = -12.0f * (kH - 2) / 36;
    const auto& low = c.row(0);
    const auto& high = c.row(1);
    EXPECT_NEAR(low[0], full, 1e-3);
    EXPECT_NEAR(low[255], 0, 1e-3);
    EXPECT_NEAR(high[0], 0, 1e-3);
    EXPECT_NEAR(high[255], full, 1e-3);
    EXPECT_TRUE(std::is_sorted(low.begin(), low.end()));
    EXPECT_TRUE(std::is_sorted(high.rbegin(), high.rend()));
    // Both knees lie near the point's column (about 151).
    const auto half = [&](const EqCurves::Row& r) {
        for (int j = 0; j < 256; ++j)
            if ((r[0] < r[255]) == (r[static_cast<size_t>(j)] > full / 2)) return j;
        return -1;
    };
    EXPECT_NEAR(half(low), 151, 8);
    EXPECT_NEAR(half(high), 151, 8);
}

TEST(EqCurves, ColumnShiftAndEndSlotsRepeat) {
    EXPECT_EQ(EqCurves::columnShift(19.8f), 22);
    EXPECT_EQ(EqCurves::columnShift(1000.0f), 150);
    EXPECT_EQ(EqCurves::columnShift(21513.0f), 250);
    // At 19.8 Hz columns from 150 on read past the last slot and repeat it; at 21513 Hz columns
    // up to 123 read before the first.
    const auto c = curvesWith({{0, 150, 0, 20}, {0, 150, 255, 20}});
    for (size_t j = 150; j < 256; ++j) ASSERT_EQ(c.row(0)[j], c.row(0)[150]) << j;
    for (size_t j = 0; j <= 123; ++j) ASSERT_EQ(c.row(1)[j], c.row(1)[0]) << j;
    EXPECT_NE(c.row(1)[124], c.row(1)[0]);
    // Positions: +12 dB at y 8.3, -24 dB at 274.3; 1000 Hz two decades into the plot.
    const auto p = curvesWith({{0, 180, 143, 4}, {0, 0, 0, 4}});
    EXPECT_NEAR(p.position(0).y, 8.333f, 1e-3);
    EXPECT_NEAR(p.position(1).y, 274.333f, 1e-3);
    EXPECT_NEAR(p.position(0).x, 36 + 2 * kW / 3.4f, 1e-3);
}

TEST(EqCurves, CrossoverRowsOffCodesAndHiding) {
    EqCurves c;
    c.setPlotSize(kW, kH);
    c.setPoints(std::vector<EqPoint>{{0, 180, 100, 4}});
    c.setCrossoverShown(true);
    c.setHighPass(0, 0);   // off
    c.setLowPass(8, 255);  // off
    c.recomputeAll();
    for (int r : {EqCurves::kHighPassRow, EqCurves::kLowPassRow})
        for (float v : c.row(r)) ASSERT_EQ(v, 0.0f);
    // The markers are placed all the same.
    EXPECT_FLOAT_EQ(c.position(EqCurves::kHighPassRow).x, c.xForCode(0));
    EXPECT_FLOAT_EQ(c.position(EqCurves::kLowPassRow).x, c.xForCode(255));
    EXPECT_FLOAT_EQ(c.position(EqCurves::kLowPassRow).y, 97);

    // At 1000 Hz both put their cutoff value on column 151; the high-pass falls to the left.
    const auto& tables = XoverShapeTables();
    c.setHighPass(0, 143);
    c.setLowPass(7, 143);
    c.recomputeRow(EqCurves::kHighPassRow);
    c.recomputeRow(EqCurves::kLowPassRow);
    EXPECT_FLOAT_EQ(c.row(EqCurves::kHighPassRow)[151], tables[0][151]);
    EXPECT_FLOAT_EQ(c.row(EqCurves::kLowPassRow)[151], tables[7][151]);
    EXPECT_EQ(c.row(EqCurves::kHighPassRow)[255], 0.0f);
    EXPECT_GT(c.row(EqCurves::kHighPassRow)[0], 300.0f);
    EXPECT_EQ(c.row(EqCurves::kLowPassRow)[0], 0.0f);
    EXPECT_EQ(c.row(EqCurves::kLowPassRow)[255], 536.0f);
    auto sum = c.buildSum();
    EXPECT_FLOAT_EQ(sum[151], c.row(0)[151] + tables[0][151] + tables[7][151]);

    // Hidden: rows 15 and 16 are neither computed nor summed.
    c.setCrossoverShown(false);
    c.recomputeAll();
    for (int r : {EqCurves::kHighPassRow, EqCurves::kLowPassRow})
        for (float v : c.row(r)) ASSERT_EQ(v, 0.0f);
    sum = c.buildSum();
    for (size_t j = 0; j < 256; ++j) ASSERT_EQ(sum[j], c.row(0)[j]);
    // Types past the list draw nothing.
    c.setCrossoverShown(true);
    c.setLowPass(9, 143);
    c.recomputeRow(EqCurves::kLowPassRow);
    for (float v : c.row(EqCurves::kLowPassRow)) ASSERT_EQ(v, 0.0f);
}

TEST(XoverShapeTables, ListedValuesMonotoneAndCeilings) {
    struct Listed {
        int index;
        float v[9];
    };
    const Listed listed[] = {
        {48, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {64, {0, 0, 0, 0, 0, 0, 0.2f, 0, 0}},
        {96, {0, 0, 0, 2.2f, 0, 0, 5.7f, 0, 0}},
        {120, {0.7f, 0.2f, 0.5f, 8.2f, 1.6f, 2.9f, 16.2f, 5.5f, 4.3f}},
        {151, {24.4f, 25.5f, 26.6f, 32.2f, 31.6f, 33.6f, 46.4f, 47.7f, 50.2f}},
        {168, {72.7f, 136.7f, 191.5f, 79.0f, 135.0f, 179.1f, 83.5f, 137.5f, 190.5f}},
        {200, {194.4f, 390.6f, 615.0f, 204.8f, 464.8f, 599.1f, 211.7f, 519.5f, 552.5f}},
        {208, {224.7f, 452.5f, 615.0f, 240.3f, 548.9f, 602.0f, 250.6f, 536.0f, 603.0f}},
        {255, {406.1f, 556.0f, 615.0f, 449.6f, 610.0f, 602.0f, 478.6f, 536.0f, 603.0f}},
    };
    const auto& t = XoverShapeTables();
    for (const auto& l : listed)
        for (size_t type = 0; type < 9; ++type)
            EXPECT_EQ(t[type][static_cast<size_t>(l.index)], l.v[type]) << type << " @" << l.index;
    for (size_t type = 0; type < 9; ++type) {
        EXPECT_TRUE(std::is_sorted(t[type].begin(), t[type].end())) << type;
        for (size_t i = 0; i <= 48; ++i) ASSERT_EQ(t[type][i], 0.0f);
    }
    // Where the steep shapes level off: the ceiling from this index on, below it before.
    const int from[9] = {0, 223, 198, 0, 215, 201, 0, 203, 206};
    for (size_t type = 0; type < 9; ++type) {
        if (!from[type]) {
            EXPECT_GT(t[type][255], t[type][254]) << type;  // the 12 dB shapes keep rising
            continue;
        }
        const auto i = static_cast<size_t>(from[type]);
        EXPECT_EQ(t[type][i], t[type][255]) << type;
        EXPECT_LT(t[type][i - 1], t[type][255]) << type;
    }
}

}  // namespace
}  // namespace qel
