// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <cmath>

#include "device/Biquad.h"
#include "device/FreqTable.h"
#include "device/MeasurementEq.h"

namespace qel {

namespace {

constexpr double kLowestHz = 20.0, kHighestHz = 20000.0;
constexpr int kStepsPerOctave = 48;  // of the comparison grid
constexpr uint8_t kButterworth12 = 0;

Biquad design(EqType type, double hz, double gainDb, double q, bool firstOrder = false) {
    switch (type) {
        case EqType::LowShelf:
            return firstOrder ? Biquad::lowShelf1(hz, gainDb) : Biquad::lowShelf(hz, gainDb, q);
        case EqType::HighShelf:
            return firstOrder ? Biquad::highShelf1(hz, gainDb) : Biquad::highShelf(hz, gainDb, q);
        default:
            return Biquad::peaking(hz, gainDb, q);
    }
}

// The differences unit minus file, summed, over the comparison grid: the largest and where.
struct Worst {
    double db = 0, hz = 0;
};
Worst worstOf(const std::vector<Biquad>& file, const std::vector<Biquad>& unit) {
    Worst worst;
    const int steps =
        static_cast<int>(std::ceil(std::log2(kHighestHz / kLowestHz) * kStepsPerOctave));
    for (int s = 0; s <= steps; ++s) {
        const double hz =
            kLowestHz * std::pow(kHighestHz / kLowestHz, static_cast<double>(s) / steps);
        double sum = 0;
        for (size_t i = 0; i < file.size(); ++i) sum += unit[i].gainDbAt(hz) - file[i].gainDbAt(hz);
        if (std::fabs(sum) > std::fabs(worst.db)) worst = {sum, hz};
    }
    return worst;
}

// The nearest table frequency a crossover can take: high-pass code 0 and low-pass code 255
// switch the filter off.
FittedCrossover fitCrossover(const MeasuredCrossover& c) {
    uint8_t code = QuantizeFreq(c.hz).code;
    if (c.highPass && code == kHighPassOffCode) code = 1;
    if (!c.highPass && code == kLowPassOffCode) code = kLowPassOffCode - 1;
    return {c, code, static_cast<double>(FreqTable[code]) - c.hz};
}

Biquad crossoverBiquad(bool highPass, double hz) {
    return highPass ? Biquad::highPass(hz) : Biquad::lowPass(hz);
}

}  // namespace

EqFit fitMeasurementEq(const MeasurementEq& eq, cmd::Side side) {
    EqFit fit;
    const bool input = side == cmd::Side::Input;
    const int points = input ? InputChannel::kPoints : OutputChannel::kPoints;
    if (static_cast<int>(eq.filters.size()) > points)
        fit.errors.push_back({eq.filters[static_cast<size_t>(points)].line,
                              MeasurementProblem::TooManyFilters,
                              {std::to_string(eq.filters.size()), std::to_string(points)}});
    for (const MeasuredCrossover& c : input ? eq.crossovers : std::vector<MeasuredCrossover>{})
        fit.errors.push_back({c.line, MeasurementProblem::CrossoverOnInput, {c.type}});
    if (!fit.ok()) return fit;
    std::vector<Biquad> file, unit;
    for (const MeasuredFilter& f : eq.filters) {
        const Quantized hz = QuantizeFreq(f.hz), gain = QuantizeEqGain(f.gainDb),
                        q = QuantizeQ(f.q);
        FittedFilter ff{f,
                        EqPoint{static_cast<uint8_t>(f.type), gain.code, hz.code, q.code},
                        hz.value - f.hz,
                        gain.value - f.gainDb,
                        std::nullopt,
                        std::nullopt};
        const bool peak = f.type == EqType::Peaking;
        if (peak) ff.qError = q.value - f.q;
        file.push_back(design(f.type, f.hz, f.gainDb, f.q, f.firstOrder));
        // The unit's shelves have no Q: they are taken as slope-1 shelves.
        unit.push_back(design(f.type, hz.value, gain.value, peak ? q.value : Biquad::kShelfQ));
        if (!peak && (f.firstOrder || std::fabs(f.q - Biquad::kShelfQ) > 1e-9))
            ff.shapeDb = worstOf({file.back()}, {unit.back()}).db;
        fit.filters.push_back(ff);
    }
    for (const MeasuredCrossover& c : eq.crossovers) {
        const FittedCrossover fc = fitCrossover(c);
        (c.highPass ? fit.highPass : fit.lowPass) = fc;
        file.push_back(crossoverBiquad(c.highPass, c.hz));
        unit.push_back(crossoverBiquad(c.highPass, FreqTable[fc.freq]));
    }
    const Worst worst = worstOf(file, unit);
    fit.worstDb = worst.db;
    fit.worstHz = worst.hz;
    return fit;
}

std::vector<EqPoint> fittedPoints(const EqFit& fit, const std::vector<EqPoint>& current) {
    std::vector<EqPoint> out = current;
    for (size_t p = 0; p < out.size(); ++p) {
        if (p < fit.filters.size()) {
            out[p] = fit.filters[p].point;
            if (fit.filters[p].filter.type != EqType::Peaking) out[p].q = current[p].q;
        } else {
            out[p].gain = kEqGainCodeZeroDb;
        }
    }
    return out;
}

namespace {

void putCrossovers(OutputChannel& o, const EqFit& fit) {
    if (fit.highPass) {
        o.setHighPassType(kButterworth12);
        o.setHighPassFreq(fit.highPass->freq);
    }
    if (fit.lowPass) {
        o.setLowPassType(kButterworth12);
        o.setLowPassFreq(fit.lowPass->freq);
    }
}

}  // namespace

void putFittedFilters(ModeRecord& r, cmd::ChannelId ch, const EqFit& fit,
                      std::span<const int> linked) {
    const bool input = ch.side == cmd::Side::Input;
    const int count = input ? InputChannel::kPoints : OutputChannel::kPoints;
    const auto point = [&](int channel, int n) -> EqPoint& {
        return input ? r.input(channel - 1).point(n) : r.output(channel - 1).point(n);
    };
    std::vector<EqPoint> current;
    for (int n = 0; n < count; ++n) current.push_back(point(ch.number, n));
    const std::vector<EqPoint> fitted = fittedPoints(fit, current);
    std::vector<int> channels(linked.begin(), linked.end());
    channels.push_back(ch.number);
    for (int c : channels) {
        for (int n = 0; n < count; ++n) point(c, n) = fitted[static_cast<size_t>(n)];
        if (input) {
            r.input(c - 1).setEqSwitch(0);
        } else {
            r.output(c - 1).setEqSwitch(0);
            putCrossovers(r.output(c - 1), fit);
        }
    }
}

}  // namespace qel
