// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "eqresponse/EqCurves.h"

#include <algorithm>
#include <cmath>

#include "device/FreqTable.h"
#include "device/ValueCodes.h"
#include "eqresponse/XoverShapeTables.h"

namespace qel {

namespace {

// Shelf and peak prototypes centre on slot 127/128; crossover shapes on index 151.
constexpr int kPrototypeCentre = 127;
constexpr int kHighPassOrigin = 103, kLowPassOrigin = 150;

float freqOf(uint8_t code) {
    return FreqTable[code];
}

size_t clampedIndex(int i) {
    return static_cast<size_t>(std::clamp(i, 0, EqCurves::kColumns - 1));
}

}  // namespace

EqCurves::EqCurves() {
    XoverShapeTables();  // built once for the run, before the first drag needs them
}

void EqCurves::setPlotSize(int w, int h) {
    w_ = w;
    h_ = h;
}

void EqCurves::setPoints(std::span<const EqPoint> points) {
    count_ = static_cast<int>(std::min(points.size(), points_.size()));
    std::copy_n(points.begin(), count_, points_.begin());
}

float EqCurves::xForFreq(double hz) const {
    return kLeft + (std::log10(static_cast<float>(hz)) - 1) * static_cast<float>(w_) / kDecades;
}

float EqCurves::xForCode(uint8_t freqCode) const {
    return xForFreq(freqOf(freqCode));
}

float EqCurves::yForGainCode(uint8_t gainCode) const {
    const float db = static_cast<float>(gainCode) * 0.2f - 24;
    return kZeroDbY - db * static_cast<float>(h_) / 36;
}

int EqCurves::columnShift(float hz) {
    const float decades = std::log10(hz);
    return static_cast<int>(256 * (decades - 1) / kDecades);
}

void EqCurves::placePoints() {
    for (int i = 0; i < count_; ++i) {
        const EqPoint& p = point(i);
        positions_[static_cast<size_t>(i)] = {xForCode(p.freq), yForGainCode(p.gain)};
    }
}

void EqCurves::recomputeAll() {
    for (Row& r : rows_) r.fill(0);
    placePoints();
    for (int i = 0; i < count_; ++i) pointRow(i);
    if (crossover_) {
        crossoverRow(kHighPassRow);
        crossoverRow(kLowPassRow);
    }
}

void EqCurves::recomputeRow(int row) {
    if (row >= 0 && row < count_) pointRow(row);
    if (row == kHighPassRow || row == kLowPassRow) crossoverRow(row);
}

void EqCurves::pointRow(int index) {
    const EqPoint& p = point(index);
    float g = static_cast<float>(p.gain) * 0.2f - 24;
    const float sign = g < 0 ? -1.0f : 1.0f;
    g = std::fabs(g);
    prototype_.design(p.type, g, eqQ(p.q), slots_);
    const int t = columnShift(freqOf(p.freq));
    const float scale = sign * static_cast<float>(h_ - 2) / 36;
    Row& r = rows_[static_cast<size_t>(index)];
    for (int j = 0; j < kColumns; ++j)
        r[static_cast<size_t>(j)] = slots_[clampedIndex(kPrototypeCentre - t + j)] * scale;
}

void EqCurves::crossoverRow(int index) {
    const bool high = index == kHighPassRow;
    const uint8_t code = high ? hpFreq_ : lpFreq_, type = high ? hpType_ : lpType_;
    positions_[static_cast<size_t>(index)] = {xForCode(code), kZeroDbY};
    Row& r = rows_[static_cast<size_t>(index)];
    const bool off = high ? code == kHighPassOffCode : code == kLowPassOffCode;
    if (off || type >= kXoverShapeCount) {
        r.fill(0);
        return;
    }
    const XoverShape& shape = XoverShapeTables()[type];
    const int t = columnShift(freqOf(code));
    for (int j = 0; j < kColumns; ++j) {
        const size_t i = clampedIndex((high ? kHighPassOrigin : kLowPassOrigin) - t + j);
        // The high-pass reads the low-pass shape backwards.
        r[static_cast<size_t>(j)] = high ? shape[kColumns - 1 - i] : shape[i];
    }
}

const EqCurves::Row& EqCurves::buildSum() {
    sum_.fill(0);
    const auto add = [this](const Row& r) {
        for (size_t j = 0; j < sum_.size(); ++j) sum_[j] += r[j];
    };
    for (int i = 0; i < count_; ++i) add(rows_[static_cast<size_t>(i)]);
    if (crossover_) {
        add(rows_[kHighPassRow]);
        add(rows_[kLowPassRow]);
    }
    return sum_;
}

}  // namespace qel
