// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/ChannelCurve.h"

#include <cmath>
#include <vector>

#include "eqresponse/EqCurves.h"

namespace qel {

namespace {

// The EQ page's plot height: its rows are pixels of this plot, 36 dB over height - 2.
constexpr int kPlotHeight = 265;

}  // namespace

QJsonArray channelCurve(const ModeRecord& record, cmd::ChannelId channel) {
    EqCurves curves;
    curves.setPlotSize(EqCurves::kColumns, kPlotHeight);
    const int index = channel.number - 1;
    std::vector<EqPoint> points;
    if (channel.side == cmd::Side::Input) {
        for (int k = 0; k < InputChannel::kPoints; ++k) points.push_back(record.input(index).point(k));
    } else {
        const OutputChannel& out = record.output(index);
        for (int k = 0; k < OutputChannel::kPoints; ++k) points.push_back(out.point(k));
        curves.setCrossoverShown(true);
        curves.setHighPass(out.highPassType(), out.highPassFreq());
        curves.setLowPass(out.lowPassType(), out.lowPassFreq());
    }
    curves.setPoints(points);
    curves.recomputeAll();
    const EqCurves::Row& sum = curves.buildSum();
    QJsonArray db;
    for (float px : sum) db.append(std::round(-px * 360.0 / (kPlotHeight - 2)) / 10.0);
    return db;
}

}  // namespace qel
