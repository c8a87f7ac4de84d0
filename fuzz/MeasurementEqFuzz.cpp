// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The EQ text of a measurement program as import-eq reads it, then fitted to an input's 15
// and an output's 10 points.
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

void fitTo(const MeasurementEq& eq, int points) {
    const EqFit fit = fitMeasurementEq(eq, points);
    check(fit.ok() == (static_cast<int>(eq.filters.size()) <= points));
    if (!fit.ok()) return;
    check(std::isfinite(fit.worstDb));
    for (const FittedFilter& f : fit.filters) {
        check(f.point.type <= 2 && f.point.gain <= kEqGainCodeMax && f.point.q <= kEqQCodeMax);
        check(std::isfinite(f.hzError) && std::isfinite(f.gainError));
        check(f.qError.has_value() == (f.filter.type == EqType::Peaking));
    }
    const std::vector<EqPoint> current(static_cast<size_t>(points));
    check(fittedPoints(fit, current).size() == current.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const MeasurementEq eq = parseMeasurementEq(text);
    int line = 0;
    for (const MeasuredFilter& f : eq.filters) {
        check(f.line > line);  // in the text's order, one a line
        line = f.line;
        check(f.hz > 0 && f.hz < 24000 && f.q > 0 && std::isfinite(f.gainDb));
    }
    for (const auto& e : eq.errors) check(e.rfind("line ", 0) == 0);
    if (!eq.ok()) return 0;
    fitTo(eq, 15);
    fitTo(eq, 10);
    return 0;
}
