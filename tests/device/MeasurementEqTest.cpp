// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <cmath>

#include "cli/ErrorText.h"
#include "device/Biquad.h"
#include "device/MeasurementEq.h"

namespace qel {
namespace {

constexpr const char* kExport =
    "Filter Settings file\n"
    "\n"
    "Room EQ V5.20\n"
    "Dated: 17.05.2024 10:00:00\n"
    "Preamp: -6,5 dB\n"
    "Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 1.41\n"
    "Filter 2: ON LS Fc 60 Hz Gain 4,5 dB\r\n"
    "Filter 3: OFF None\n"
    "Filter 4: ON HSC Fc 8,2 kHz Gain -2 dB Q 0.9\n"
    "Filter: ON LSC Fc 200 Hz Gain 1.0 dB Q 0.71\n"
    "Filter 6: ON HS Fc 12000 Hz Gain 1.3 dB\n"
    "Filter 7: ON None\n";

TEST(MeasurementEq, AnExportWithEveryTypeBecomesPoints) {
    const MeasurementEq eq = parseMeasurementEq(kExport);
    ASSERT_TRUE(eq.ok()) << cli::measurementErrorText(eq.errors[0], "input A");
    EXPECT_EQ(eq.otherLines, 3);
    EXPECT_EQ(eq.skipped, 2);
    ASSERT_TRUE(eq.preampDb);
    EXPECT_DOUBLE_EQ(*eq.preampDb, -6.5);
    ASSERT_EQ(eq.filters.size(), 5u);
    EXPECT_EQ(eq.filters[1].type, EqType::LowShelf);
    EXPECT_DOUBLE_EQ(eq.filters[1].gainDb, 4.5);
    EXPECT_DOUBLE_EQ(eq.filters[2].hz, 8200);
    EXPECT_EQ(eq.filters[2].type, EqType::HighShelf);
    EXPECT_EQ(eq.filters[3].line, 10);

    const EqFit fit = fitMeasurementEq(eq, 10);
    ASSERT_TRUE(fit.ok());
    // The first line is a peak at frequency code 59, gain code 105 and Q code 6.
    EXPECT_EQ(fit.filters[0].point, (EqPoint{0, 105, 59, 6}));
    EXPECT_NEAR(*fit.filters[0].qError, -0.01, 1e-9);
    EXPECT_FALSE(fit.filters[1].qError);               // shelves have no Q on the unit
    EXPECT_NEAR(fit.filters[4].gainError, 0.1, 1e-9);  // 1.3 dB rounds away from zero to 1.4
    // Rounding moves filters by at most half a step, a few tenths of a dB overall; the LSC's
    // Q of 0.71 is close to the unit's slope-1 shelf.
    EXPECT_GT(std::fabs(fit.worstDb), 0.01);
    EXPECT_LT(std::fabs(fit.worstDb), 0.6);

    std::vector<EqPoint> current(10, EqPoint{1, 150, 200, 40});
    const auto points = fittedPoints(fit, current);
    EXPECT_EQ(points[0], fit.filters[0].point);
    EXPECT_EQ(points[9], (EqPoint{1, 120, 200, 40}));  // unused points go flat

    // On a record: output 3 and those linked with it, their EQ on; output 2 is left alone.
    ModeRecord record;
    for (int o = 0; o < 5; ++o) {
        record.output(o).setEqSwitch(1);
        for (int i = 0; i < OutputChannel::kPoints; ++i) record.output(o).point(i) = current[0];
    }
    record.output(4).point(9).freq = 7;
    const int linked[] = {5, 1};
    putFittedFilters(record, cmd::outputChannel(3), fit, linked);
    for (int o : {0, 2, 4}) {
        for (int i = 0; i < OutputChannel::kPoints; ++i)
            EXPECT_EQ(record.output(o).point(i), points[static_cast<size_t>(i)]) << o << " " << i;
        EXPECT_EQ(record.output(o).eqSwitch(), 0);
    }
    EXPECT_EQ(record.output(1).point(0), current[0]);
    EXPECT_EQ(record.output(1).eqSwitch(), 1);
}

TEST(MeasurementEq, ProblemsNameTheirLine) {
    auto firstError = [](const char* text) {
        const auto eq = parseMeasurementEq(text);
        return eq.errors.empty() ? std::string()
                                 : cli::measurementErrorText(eq.errors[0], "input A");
    };
    EXPECT_EQ(firstError("Preamp: 0 dB\nFilter 1: ON NO Fc 100 Hz Gain 1 dB\n"),
              "line 2: unknown filter type \"NO\" (PK, LS, LSC, HS and HSC are known)");
    EXPECT_EQ(firstError("\n\nFilter 3: ON PK Fc 1o0 Hz Gain 1 dB Q 1\n"),
              "line 3: Fc has no number");
    EXPECT_EQ(firstError("Filter 1: ON PK Fc 100 Hz Gain 1 dB\n"),
              "line 1: the PK filter has no Q");
    EXPECT_EQ(firstError("Filter 1: ON PK Fc 30000 Hz Gain 1 dB Q 1\n"),
              "line 1: Fc 30000 Hz is not between 0 and 24000 Hz");
    EXPECT_EQ(firstError("Filter 2: ON HS Fc 20000 Hz Gain -240000 dB\n"),
              "line 1: Gain -240000 dB is not between -60 and 60 dB");
    EXPECT_EQ(firstError("Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1e-300\n"),
              "line 1: Q 1e-300 is not between 0.01 and 1000");
    // One filter more than an input's 15 points: nothing is fitted.
    std::string many;
    for (int i = 1; i <= 16; ++i)
        many += "Filter " + std::to_string(i) + ": ON PK Fc 1000 Hz Gain 1 dB Q 1\n";
    const auto eq = parseMeasurementEq(many);
    ASSERT_TRUE(eq.ok());
    const auto fit = fitMeasurementEq(eq, 15);
    ASSERT_EQ(fit.errors.size(), 1u);
    EXPECT_EQ(cli::measurementErrorText(fit.errors[0], "input A"),
              "line 16: 16 filters are on, input A has 15 EQ points");
    EXPECT_TRUE(fit.filters.empty());
}

TEST(MeasurementEq, CookbookFiltersHaveTheirGainWhereItBelongs) {
    EXPECT_NEAR(Biquad::peaking(1000, -6, 2).gainDbAt(1000), -6, 1e-9);
    EXPECT_NEAR(Biquad::peaking(1000, -6, 2).gainDbAt(20), 0, 0.01);
    EXPECT_NEAR(Biquad::lowShelf(200, 6).gainDbAt(20), 6, 0.05);
    EXPECT_NEAR(Biquad::lowShelf(200, 6).gainDbAt(200), 3, 1e-9);  // half the gain at Fc
    EXPECT_NEAR(Biquad::highShelf(2000, -4).gainDbAt(20000), -4, 0.1);
    EXPECT_NEAR(Biquad::highShelf(2000, -4).gainDbAt(20), 0, 0.01);
}

}  // namespace
}  // namespace qel
