// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "eqresponse/view/EqCurveRaster.h"

// AGG's add_path() leaves x and y unset for a stop command, which it never reads; GCC cannot
// see that once the vertex sources are inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <agg_conv_stroke.h>
#include <agg_ellipse.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>
#include <cmath>

namespace qel {

struct EqCurveRaster::Agg {
    agg::rendering_buffer buffer;
    agg::rasterizer_scanline_aa<> rasteriser;
    agg::scanline_u8 scanline;
    agg::path_storage line;
    agg::conv_stroke<agg::path_storage> stroke{line};
    agg::ellipse circle;
};

namespace {

using PixelFormat = agg::pixfmt_bgra32;
using Renderer = agg::renderer_base<PixelFormat>;

agg::rgba8 aggColour(EqCurveRaster::Colour c) {
    return agg::rgba8(c.r, c.g, c.b, c.a);
}

// 1/256 pixel units, rounded to nearest.
int subpixel(double v) {
    return static_cast<int>(std::lround(v * int{agg::poly_subpixel_scale}));
}

void clipTo(agg::rasterizer_scanline_aa<>& r, const QRect& clip) {
    r.clip_box(clip.left(), clip.top(), clip.right(), clip.bottom());
}

}  // namespace

EqCurveRaster::EqCurveRaster() : agg_(std::make_unique<Agg>()) {
    agg_->stroke.width(kSumWidth);
}

EqCurveRaster::~EqCurveRaster() = default;

void EqCurveRaster::draw(QImage& image, const EqCurves& curves, const Scene& scene) {
    Agg& a = *agg_;
    a.buffer.attach(image.bits(), static_cast<unsigned>(image.width()),
                    static_cast<unsigned>(image.height()), static_cast<int>(image.bytesPerLine()));
    PixelFormat pixels(a.buffer);
    Renderer base(pixels);
    auto& ras = a.rasteriser;
    const auto render = [&](Colour c) {
        agg::render_scanlines_aa_solid(ras, a.scanline, base, aggColour(c));
    };
    const float zero = EqCurves::kZeroDbY;

    // The selected point's or filter's own curve, filled down (or up) to the 0 dB line.
    ras.reset();
    ras.filling_rule(agg::fill_non_zero);
    if (scene.selected >= 0 && scene.selected < EqCurves::kRows) {
        clipTo(ras, scene.fillClip);
        const auto& row = curves.row(scene.selected);
        ras.move_to(subpixel(EqCurves::kLeft), subpixel(zero));
        for (int j = 0; j < EqCurves::kColumns; ++j)
            ras.line_to(subpixel(curves.columnX(j)), subpixel(zero + row[static_cast<size_t>(j)]));
        ras.line_to(subpixel(scene.fillEndX), subpixel(zero));
        ras.close_polygon();
        render(kSelectedFill);
    }

    // The sum line.
    ras.reset();
    clipTo(ras, scene.lineClip);
    a.line.remove_all();
    const auto& sum = curves.sum();
    for (int j = 0; j < EqCurves::kColumns; ++j) {
        const double x = curves.columnX(j), y = zero + sum[static_cast<size_t>(j)];
        if (j == 0)
            a.line.move_to(x, y);
        else
            a.line.line_to(x, y);
    }
    ras.add_path(a.stroke);
    render(kSumLine);

    const auto disc = [&](double x, double y, double radius, Colour c) {
        ras.reset();
        a.circle.init(x, y, radius, radius, kCircleSteps);
        ras.add_path(a.circle);
        render(c);
    };
    for (int i = 0; i < curves.count(); ++i) {
        if (i == scene.currentRow) continue;
        const auto p = curves.position(i);
        disc(p.x + 0.5, p.y, kPointRadius, kPointCircle);
    }
    if (scene.selected >= 0 && scene.selected < EqCurves::kRows) {
        const auto p = curves.position(scene.selected);
        disc(p.x + 0.5, p.y, kPointRadius, kSelectedCircle);
    }
    // Markers last: they cover a selected marker's yellow circle.
    if (curves.crossoverShown()) {
        disc(scene.highPassX, zero, kMarkerRadius, kMarkerCircle);
        disc(scene.lowPassX, zero, kMarkerRadius, kMarkerCircle);
    }
}

}  // namespace qel
