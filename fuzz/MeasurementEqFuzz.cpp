// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The EQ text of a measurement program or an equaliser's configuration as import-eq reads
// it, with and without a source channel, then fitted to an input and an output.
//
// Input: the text.
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "device/MeasurementEq.h"

using namespace qel;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void fitTo(const MeasurementEq& eq, cmd::Side side) {
    const bool input = side == cmd::Side::Input;
    const int points = input ? InputChannel::kPoints : OutputChannel::kPoints;
    const EqFit fit = fitMeasurementEq(eq, side);
    check(fit.ok() ==
          (static_cast<int>(eq.filters.size()) <= points && (!input || eq.crossovers.empty())));
    if (!fit.ok()) return;
    check(std::isfinite(fit.worstDb));
    for (const FittedFilter& f : fit.filters) {
        check(f.point.type <= 2 && f.point.gain <= kEqGainCodeMax && f.point.q <= kEqQCodeMax);
        check(std::isfinite(f.hzError) && std::isfinite(f.gainError));
        check(f.qError.has_value() == (f.filter.type == EqType::Peaking));
    }
    const std::vector<EqPoint> current(static_cast<size_t>(points));
    check(fittedPoints(fit, current).size() == current.size());
    if (fit.highPass) check(fit.highPass->freq != kHighPassOffCode);
    if (fit.lowPass) check(fit.lowPass->freq != kLowPassOffCode);
}

void read(std::string_view text, std::string_view source) {
    const MeasurementEq eq = parseMeasurementEq(text, source);
    int line = 0;
    for (const MeasuredFilter& f : eq.filters) {
        check(f.line > line);  // in the text's order, one a line
        line = f.line;
        check(f.hz > 0 && f.hz < 24000 && f.q > 0 && std::isfinite(f.gainDb));
    }
    check(eq.crossovers.size() <= 2);
    for (const auto& e : eq.errors) check(e.line >= 1);
    if (!eq.ok()) return;
    fitTo(eq, cmd::Side::Input);
    fitTo(eq, cmd::Side::Output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    read(text, {});
    read(text, "L");
    return 0;
}
