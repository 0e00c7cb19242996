#pragma once

#include <cstdint>

#include "knob_params.h"

namespace Render {

// A value arc drawn on the canvas: a ring from the arc's start to the angle
// of the frame's value (or from its middle, for a knob that is centred at
// 0.5), anti-aliased, the rest of the arc in the track's colour if it has
// one. Angles in degrees clockwise from 12 o'clock; lengths in pixels of the
// canvas; the centre in its continuous coordinates (pixel k covers k .. k+1).
struct ValueArc {
    Engine::ArcStyle style;  // width and radius in pixels of this canvas
    double centreX = 0.0, centreY = 0.0;
    double start = -135.0, end = 135.0;
    // How finely a pixel's coverage is worked out: 1, a pixel's width of
    // smooth edge; K (2 or 4), the mean over K x K sub-pixels, each
    // with an edge as wide as itself, as if drawn K times as large and
    // averaged down: nearer the area the ring covers, at thin rings and
    // round ends most.
    int oversample = 1;
};

// The arc at value v (0 .. 1: its angle from arc.start to arc.end) laid over
// `count` rows of a canvas `width` pixels wide, from row `first` (0-based):
// `rows` holds them in premultiplied colour, blue, green, red, opacity, each
// 0 .. 255 in a float, row after row. With a track, the track is laid first.
void DrawArc(const ValueArc& arc, double v, int32_t width, int32_t first, int32_t count,
             float* rows);

}  // namespace Render
