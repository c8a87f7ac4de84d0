// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QImage>
#include <QRect>
#include <memory>

#include "eqresponse/EqCurves.h"

namespace qel {

// The anti-aliased parts of the EQ curve view, drawn with Anti-Grain Geometry's scanline
// rasteriser straight into a 32-bit QImage (BGRA bytes, rows top-down): the filled curve of
// the selected point or filter, the sum line and the point and marker circles. Keeps the
// rasteriser's cells, the path and the stroker between passes, so a pass allocates nothing
// once they have grown.
class EqCurveRaster {
public:
    struct Colour {
        uint8_t r, g, b, a;
    };
    static constexpr Colour kSelectedFill{255, 255, 255, 100};
    static constexpr Colour kSumLine{26, 172, 255, 255};
    static constexpr Colour kPointCircle{26, 172, 255, 255};
    static constexpr Colour kSelectedCircle{255, 255, 0, 255};
    static constexpr Colour kMarkerCircle{255, 155, 100, 255};
    static constexpr double kSumWidth = 1.8;
    static constexpr double kPointRadius = 5, kMarkerRadius = 6.5;
    static constexpr unsigned kCircleSteps = 16;

    // What one pass draws besides the rows themselves.
    struct Scene {
        int selected = -1;                  // point 0..14, marker 15 or 16, -1 none
        int currentRow = -1;                // the point being dragged has no blue circle
        float highPassX = 0, lowPassX = 0;  // marker circles (crossover shown only)
        QRect fillClip;                     // clip of the filled selection
        QRect lineClip;                     // clip of the sum line and circles
        float fillEndX = 0;                 // right end of the filled polygon on the 0 dB line
    };

    EqCurveRaster();
    ~EqCurveRaster();
    EqCurveRaster(const EqCurveRaster&) = delete;
    EqCurveRaster& operator=(const EqCurveRaster&) = delete;

    // Draws into image (Format_RGB32 or ARGB32); the sum row must be built.
    void draw(QImage& image, const EqCurves& curves, const Scene& scene);

private:
    struct Agg;
    std::unique_ptr<Agg> agg_;
};

}  // namespace qel
