// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "device/EqPoint.h"
#include "eqresponse/EqPrototype.h"

namespace qel {

// The pixel curves of one channel's equaliser: a row per EQ point, one per crossover filter
// and their sum, plus where each point and crossover marker sits. Rows are vertical offsets in
// pixels from the 0 dB line (y 97), positive downwards; column j of a row lies at
// x = 36 + j * W / 256, i.e. log10 F = 1 + 3.4 * j / 256. The curves are display shapes, not
// the unit's exact transfer function. Holds its own copy of the points it draws. No
// allocation after construction; one thread per instance.
class EqCurves {
public:
    static constexpr int kColumns = 256;
    static constexpr int kMaxPoints = 15;
    static constexpr int kHighPassRow = 15, kLowPassRow = 16, kRows = 17;
    static constexpr float kLeft = 36, kZeroDbY = 97, kDecades = 3.4f;
    using Row = std::array<float, kColumns>;
    struct Position {
        float x = 0, y = 0;
    };

    EqCurves();

    // Plot width and height in pixels (the view's client size less 42 and 28).
    void setPlotSize(int w, int h);
    int plotWidth() const { return w_; }
    int plotHeight() const { return h_; }

    // Copies up to 15 points; the count shown is the number given.
    void setPoints(std::span<const EqPoint> points);
    int count() const { return count_; }
    const EqPoint& point(int index) const { return points_.at(static_cast<size_t>(index)); }
    void setPoint(int index, const EqPoint& point) {
        points_.at(static_cast<size_t>(index)) = point;
    }

    // Crossover filters (output channels). Frequency code 0 switches the high-pass off,
    // 255 the low-pass.
    void setCrossoverShown(bool shown) { crossover_ = shown; }
    bool crossoverShown() const { return crossover_; }
    void setHighPass(uint8_t type, uint8_t freqCode) { hpType_ = type, hpFreq_ = freqCode; }
    void setLowPass(uint8_t type, uint8_t freqCode) { lpType_ = type, lpFreq_ = freqCode; }
    void setHighPassFreq(uint8_t freqCode) { hpFreq_ = freqCode; }
    void setLowPassFreq(uint8_t freqCode) { lpFreq_ = freqCode; }
    uint8_t highPassType() const { return hpType_; }
    uint8_t highPassFreq() const { return hpFreq_; }
    uint8_t lowPassType() const { return lpType_; }
    uint8_t lowPassFreq() const { return lpFreq_; }

    // Every row to 0, then every point's position and row and, with the crossover shown,
    // both markers and rows 15 and 16.
    void recomputeAll();
    // One point row (0..14; the point's position is left alone) or one crossover row (15, 16;
    // its marker is placed too). Other rows are ignored.
    void recomputeRow(int row);
    // Positions of all points from their codes.
    void placePoints();
    // Sum of the point rows 0..count-1, plus rows 15 and 16 while the crossover is shown.
    const Row& buildSum();

    const Row& row(int index) const { return rows_.at(static_cast<size_t>(index)); }
    const Row& sum() const { return sum_; }
    // Points 0..14, high-pass marker 15, low-pass marker 16.
    Position position(int index) const { return positions_.at(static_cast<size_t>(index)); }
    void setPosition(int index, Position p) { positions_.at(static_cast<size_t>(index)) = p; }

    // The grid's formulas.
    float xForFreq(double hz) const;
    float xForCode(uint8_t freqCode) const;
    float yForGainCode(uint8_t gainCode) const;
    float columnX(int column) const { return kLeft + static_cast<float>(column * w_) / kColumns; }
    // Column shift of a frequency: whole part of 256 * (log10 F - 1) / 3.4.
    static int columnShift(float hz);

private:
    void pointRow(int index);
    void crossoverRow(int index);

    int w_ = 0, h_ = 0;
    int count_ = 0;
    std::array<EqPoint, kMaxPoints> points_{};
    bool crossover_ = false;
    uint8_t hpType_ = 0, hpFreq_ = 0, lpType_ = 0, lpFreq_ = 255;
    std::array<Row, kRows> rows_{};
    Row sum_{};
    std::array<Position, kRows> positions_{};
    EqPrototype prototype_;
    EqPrototype::Slots slots_{};
};

}  // namespace qel
