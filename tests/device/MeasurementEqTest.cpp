// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "cli/ErrorText.h"
#include "device/Biquad.h"
#include "device/FreqTable.h"
#include "device/MeasurementEq.h"
#include "device/MeasurementExport.h"

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
    "Filter 7: ON None\n"
    "# written by hand\n"
    "Device: Speakers; all\n"
    "Include: more.txt\n";

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
    EXPECT_EQ(eq.comments, 1);
    ASSERT_EQ(eq.notes.size(), 2u);
    EXPECT_EQ(eq.notes[1].line, 15);
    EXPECT_EQ(eq.notes[1].text, "Include: more.txt");

    const EqFit fit = fitMeasurementEq(eq, cmd::Side::Output);
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
    EXPECT_EQ(points[1], (EqPoint{1, 143, 40, 40}));  // a shelf keeps its Q code: unused
    EXPECT_NEAR(*fit.filters[3].shapeDb, 0, 0.05);    // LSC Q 0.71: nearly the unit's shelf
    EXPECT_FALSE(fit.filters[1].shapeDb);
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

// What a text reads as: each filter and crossover with its fitted table frequency, or the
// first problem as import-eq words it.
std::string readAs(const std::string& text, cmd::Side side, const char* source) {
    const auto eq = parseMeasurementEq(text, source);
    const auto fit = eq.ok() ? fitMeasurementEq(eq, side) : EqFit{};
    const auto& errors = eq.ok() ? fit.errors : eq.errors;
    const std::string channel = side == cmd::Side::Input ? "input A" : "output 2";
    if (!errors.empty()) return cli::measurementErrorText(errors[0], channel);
    std::string out;
    char t[120];
    for (const MeasuredFilter& f : eq.filters) {
        const char* type[] = {"PK", "LS", "HS"};
        std::snprintf(t, sizeof t, "%s%s %g Hz %g dB", type[static_cast<int>(f.type)],
                      f.firstOrder ? "1" : "", f.hz, f.gainDb);
        out += (out.empty() ? "" : "; ") + std::string(t);
        if (!f.firstOrder) out += (std::snprintf(t, sizeof t, " Q %.2f", f.q), t);
    }
    for (const auto& c : {fit.highPass, fit.lowPass}) {
        if (!c) continue;
        std::snprintf(t, sizeof t, "%s %g Hz at %.1f", c->filter.highPass ? "HP" : "LP",
                      c->filter.hz, double{FreqTable[c->freq]});
        out += (out.empty() ? "" : "; ") + std::string(t);
    }
    return out;
}

TEST(MeasurementEq, EveryLineShapeReadsOrIsRefused) {
    const auto in = cmd::Side::Input, out = cmd::Side::Output;
    struct Shape {
        std::string text;
        std::string expected;
        cmd::Side side = cmd::Side::Output;
        const char* source = "";
    };
    const Shape shapes[] = {
        {"Filter  1: ON  PK       Fc   63.50 Hz  Gain  -7.40 dB  Q  4.850\r\n",
         "PK 63.5 Hz -7.4 dB Q 4.85"},
        // PEQ is PK; a bandwidth of N octaves is Q = sqrt(2^N) / (2^N - 1).
        {"Filter 2: ON PEQ Fc 100 Hz Gain 1.0 dB BW Oct 1", "PK 100 Hz 1 dB Q 1.41"},
        {"Filter 2: ON PEQ Fc 100 Hz Gain 1.0 dB BW Oct 0.167", "PK 100 Hz 1 dB Q 8.63"},
        {"Filter: ON pk Fc 1,5 kHz Gain -1 dB BW Oct 2", "PK 1500 Hz -1 dB Q 0.67"},
        // Shelves: slope 12 is the slope-1 shelf, 6 a first-order one; LSC's slope is the
        // cookbook's S = slope / 12.
        {"Filter 1: ON LS 12dB Fc 300 Hz Gain 5.0 dB", "LS 300 Hz 5 dB Q 0.71"},
        {"Filter 1: ON HS 6dB Fc 300 Hz Gain 5.0 dB", "HS1 300 Hz 5 dB"},
        {"Filter 1: ON LSC 12 dB Fc 300 Hz Gain 5 dB", "LS 300 Hz 5 dB Q 0.71"},
        {"Filter 1: ON LSC 6 dB Fc 250 Hz Gain -3 dB", "LS 250 Hz -3 dB Q 0.50"},
        {"Filter 1: ON HSC Fc 8 kHz Gain 2 dB Q 0.9", "HS 8000 Hz 2 dB Q 0.90"},
        {"Filter 1: ON HS Fc 4000 Hz Gain -1 dB", "HS 4000 Hz -1 dB Q 0.71"},
        // Crossovers: the nearest table frequency that does not switch the filter off.
        {"Filter 1: ON HP Fc 30 Hz\nFilter 2: ON LPQ Fc 1 kHz Q 0.7071",
         "HP 30 Hz at 30.0; LP 1000 Hz at 1000.0"},
        {"Filter 1: ON HPQ Fc 15 Hz Q 0.71\nFilter: ON LP Fc 23 kHz",
         "HP 15 Hz at 20.4; LP 23000 Hz at 20932.0"},
        {"Filter 1: ON HPQ Fc 40 Hz Q 0.5",
         "line 1: HPQ with Q 0.5: the unit's high-pass and low-pass take Butterworth 12 dB "
         "(Q 0.707) only"},
        {"Preamp: 0 dB\nFilter 1: ON HP Fc 30 Hz",
         "line 2: HP is a crossover filter, which input A does not have", in},
        {"Filter 1: ON HP Fc 30 Hz\nFilter 2: ON HP Fc 40 Hz",
         "line 2: a second HP: an output has one high-pass and one low-pass"},
        {"Filter 1: ON HP Fc 30 Hz Gain 2 dB", "line 1: cannot read \"Gain\""},
        // Types the unit cannot make, and ones nobody writes.
        {"Preamp: 0 dB\nFilter 1: ON NO Fc 100 Hz Gain 1 dB",
         "line 2: the unit cannot make a \"NO\" filter"},
        {"Filter 1: ON BP Fc 100 Hz", "line 1: the unit cannot make a \"BP\" filter"},
        {"Filter 1: ON AP Fc 100 Hz Q 1", "line 1: the unit cannot make a \"AP\" filter"},
        {"Filter 1: ON XY Fc 100 Hz",
         "line 1: unknown filter type \"XY\" (PK, PEQ, LS, LSC, HS, HSC, HP, HPQ, LP and LPQ are "
         "known)"},
        {"Filter 1: ON LS 9dB Fc 40 Hz Gain 3 dB",
         "line 1: cannot read the slope \"9dB\" of LS (LS and HS take 6dB or 12dB, LSC and HSC up "
         "to 12 dB)"},
        {"Filter 1: ON LSC 6 Fc 40 Hz Gain 3 dB",
         "line 1: cannot read the slope \"6\" of LSC (LS and HS take 6dB or 12dB, LSC and HSC up "
         "to 12 dB)"},
        {"Filter 1: ON LSC 6 dB Fc 40 Hz Gain 3 dB Q 1",
         "line 1: the LSC filter has both a slope and a Q"},
        {"Filter 1: ON PK Fc 40 Hz Gain 3 dB BW Oct 20",
         "line 1: BW Oct 20 is not between 0.01 and 10"},
        {"Filter 1: ON PK Fc 40 Hz Gain 3 dB Q 1 BW Oct 1", "line 1: BW is given twice"},
        {"\n\nFilter 3: ON PK Fc 1o0 Hz Gain 1 dB Q 1\n", "line 3: Fc has no number"},
        {"Filter 1: ON PK Fc 100 Hz Gain 1 dB\n", "line 1: the PK filter has no Q"},
        {"Filter 1: ON HPQ Fc 100 Hz\n", "line 1: the HPQ filter has no Q"},
        {"Filter 1: ON PK Fc 30000 Hz Gain 1 dB Q 1\n",
         "line 1: Fc 30000 Hz is not between 0 and 24000 Hz"},
        {"Filter 2: ON HS Fc 20000 Hz Gain -240000 dB\n",
         "line 1: Gain -240000 dB is not between -60 and 60 dB"},
        {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1e-300\n",
         "line 1: Q 1e-300 is not between 0.01 and 1000"},
        // Channel selections: one is fine, several need a choice.
        {"Channel: L R\nFilter: ON PK Fc 100 Hz Gain 1 dB Q 2", "PK 100 Hz 1 dB Q 2.00"},
        {"Channel: L\nFilter: ON PK Fc 100 Hz Gain 1 dB Q 2\nChannel: R\nFilter: ON PK Fc 200 Hz "
         "Gain 2 dB Q 2",
         "line 4: the filters belong to more than one channel (L, R): name one with "
         "--source-channel"},
        {"Channel: L\nFilter: ON PK Fc 100 Hz Gain 1 dB Q 2\nChannel: R\nFilter: ON PK Fc 200 Hz "
         "Gain 2 dB Q 2\n"
         "Channel: all\nFilter: ON HP Fc 30 Hz",
         "PK 200 Hz 2 dB Q 2.00; HP 30 Hz at 30.0", out, "r"},
        {"Channel: L\nFilter: ON PK Fc 100 Hz Gain 1 dB Q 2\nChannel: R\nFilter: ON PK Fc 200 Hz "
         "Gain 2 dB Q 2",
         "line 1: no Channel: line selects \"C\" (the file selects L, R)", out, "C"},
    };
    for (const Shape& s : shapes) EXPECT_EQ(readAs(s.text, s.side, s.source), s.expected) << s.text;

    // One filter more than an input's 15 points: nothing is fitted.
    std::string many;
    for (int i = 1; i <= 16; ++i)
        many += "Filter " + std::to_string(i) + ": ON PK Fc 1000 Hz Gain 1 dB Q 1\n";
    EXPECT_EQ(readAs(many, in, ""), "line 16: 16 filters are on, input A has 15 EQ points");
    EXPECT_TRUE(fitMeasurementEq(parseMeasurementEq(many), in).filters.empty());
}

// A record with every EQ point, switch and crossover drawn from the codes the unit uses.
ModeRecord randomRecord(std::mt19937& random) {
    const auto code = [&](int highest) {
        return static_cast<uint8_t>(std::uniform_int_distribution<int>(0, highest)(random));
    };
    const auto point = [&] {
        return EqPoint{code(2), code(kEqGainCodeMax), code(255), code(kEqQCodeMax)};
    };
    ModeRecord r;
    for (int c = 0; c < 4; ++c)
        for (int n = 0; n < InputChannel::kPoints; ++n) r.input(c).point(n) = point();
    for (int c = 0; c < 8; ++c) {
        OutputChannel& o = r.output(c);
        for (int n = 0; n < OutputChannel::kPoints; ++n) o.point(n) = point();
        // Half of the crossovers Butterworth 12 dB, some off.
        o.setHighPassType(code(1) ? 0 : code(kCrossoverTypeMax));
        o.setHighPassFreq(code(3) ? code(255) : kHighPassOffCode);
        o.setLowPassType(code(1) ? 0 : code(kCrossoverTypeMax));
        o.setLowPassFreq(code(3) ? code(255) : kLowPassOffCode);
    }
    return r;
}

TEST(MeasurementEq, AnExportedChannelComesBackAsItWas) {
    std::mt19937 random(20260512);
    for (int round = 0; round < 300; ++round) {
        const ModeRecord original = randomRecord(random);
        const bool input = round % 2 == 0;
        const cmd::ChannelId ch =
            input ? cmd::inputChannel(1 + round / 2 % 4) : cmd::outputChannel(1 + round / 2 % 8);
        const auto format = round % 3 ? EqTextFormat::Generic : EqTextFormat::Apo;
        const EqExport out = exportMeasurementEq(original, ch, format, "QD408 Hall, channel");
        const MeasurementEq eq = parseMeasurementEq(out.text);
        ASSERT_TRUE(eq.ok()) << cli::measurementErrorText(eq.errors[0], "") << "\n" << out.text;
        const EqFit fit = fitMeasurementEq(eq, ch.side);
        ASSERT_TRUE(fit.ok()) << out.text;
        // Onto the record with that channel's points and exported crossovers moved away.
        ModeRecord moved = original;
        for (int n = 0; n < (input ? InputChannel::kPoints : OutputChannel::kPoints); ++n) {
            EqPoint& p =
                input ? moved.input(ch.number - 1).point(n) : moved.output(ch.number - 1).point(n);
            p = {static_cast<uint8_t>((p.type + 1) % 3), kEqGainCodeZeroDb, 143, p.q};
        }
        if (!input) {
            OutputChannel& o = moved.output(ch.number - 1);
            if (o.highPassType() == 0) o.setHighPassFreq(kHighPassOffCode);
            if (o.lowPassType() == 0) o.setLowPassFreq(kLowPassOffCode);
        }
        putFittedFilters(moved, ch, fit);
        ASSERT_TRUE(moved == original) << out.text;
        EXPECT_LT(std::fabs(fit.worstDb), 1e-4) << out.text;  // nothing was rounded
    }
}

TEST(MeasurementEq, CookbookFiltersHaveTheirGainWhereItBelongs) {
    EXPECT_NEAR(Biquad::peaking(1000, -6, 2).gainDbAt(1000), -6, 1e-9);
    EXPECT_NEAR(Biquad::peaking(1000, -6, 2).gainDbAt(20), 0, 0.01);
    EXPECT_NEAR(Biquad::lowShelf(200, 6).gainDbAt(20), 6, 0.05);
    EXPECT_NEAR(Biquad::lowShelf(200, 6).gainDbAt(200), 3, 1e-9);  // half the gain at Fc
    EXPECT_NEAR(Biquad::highShelf(2000, -4).gainDbAt(20000), -4, 0.1);
    EXPECT_NEAR(Biquad::highShelf(2000, -4).gainDbAt(20), 0, 0.01);
    // First-order shelves: half the gain at Fc, 6 dB per octave between.
    EXPECT_NEAR(Biquad::lowShelf1(300, 10).gainDbAt(300), 5, 1e-9);
    EXPECT_NEAR(Biquad::lowShelf1(300, 10).gainDbAt(3), 10, 0.01);
    EXPECT_NEAR(Biquad::highShelf1(300, 10).gainDbAt(300), 5, 1e-9);
    EXPECT_NEAR(Biquad::highShelf1(300, 10).gainDbAt(20000), 10, 0.1);
    EXPECT_NEAR(Biquad::highShelf1(300, 10).gainDbAt(3), 0, 0.01);
    EXPECT_NEAR(Biquad::highPass(100).gainDbAt(100), -3.01, 0.01);
    EXPECT_NEAR(Biquad::highPass(100).gainDbAt(25), -24.1, 0.2);  // 12 dB per octave
    EXPECT_NEAR(Biquad::lowPass(1000).gainDbAt(1000), -3.01, 0.01);
    EXPECT_NEAR(Biquad::lowPass(1000).gainDbAt(20), 0, 0.01);
}

}  // namespace
}  // namespace qel
