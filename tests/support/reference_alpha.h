#pragma once

// A plain rendering of a frame that keeps opacity, for clarity rather than
// speed: the opaque reference for the opacity, and the weighted colour as an
// exact quotient of whole numbers, rounded half to even by its remainder.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "knob_params.h"
#include "pixel_grid.h"
#include "reference_rotation.h"

namespace reference {

inline uint8_t weightedColour(const Engine::PixelGrid& src, int c, int32_t ix, int32_t iy,
                              uint64_t a, uint64_t b) {
    const uint64_t one = uint64_t{1} << 22;
    const uint64_t w[4] = {(one - a) * (one - b), a * (one - b), (one - a) * b, a * b};
    const int32_t xs[4] = {ix, ix + 1, ix, ix + 1}, ys[4] = {iy, iy, iy + 1, iy + 1};
    uint64_t num = 0, den = 0;
    for (int k = 0; k < 4; ++k) {
        num += w[k] * src(4, xs[k], ys[k]) * src(c, xs[k], ys[k]);
        den += w[k] * src(4, xs[k], ys[k]);
    }
    uint64_t q = num / den;
    const uint64_t r = num % den;
    if (2 * r > den || (2 * r == den && q % 2 == 1)) ++q;
    return static_cast<uint8_t>(q);
}

// The frame with the opaque reference's opacity in channel 4 (the opaque
// rendering of a picture made of the opacities) and, bilinear, colours
// weighted by it where the four opacities differ.
inline void RotateFrameAlpha(bool bilinear, int32_t i, const Engine::KnobParams& p,
                             const Engine::PixelGrid& src, Engine::PixelGrid& dst) {
    const int32_t W = src.width(), H = src.height();
    Engine::PixelGrid opacity;
    opacity.allocate(W, H);
    for (int32_t y = 1; y <= H; ++y)
        for (int32_t x = 1; x <= W; ++x) opacity(1, x, y) = src(4, x, y);
    Engine::PixelGrid turnedOpacity;
    RotateFrame(bilinear, i, p, opacity, turnedOpacity);
    RotateFrame(bilinear, i, p, src, dst);
    for (int32_t y = 1; y <= H; ++y)
        for (int32_t x = 1; x <= W; ++x) dst(4, x, y) = turnedOpacity(1, x, y);
    // The nearest routine copies the chosen pixel whole: its colour as the
    // opaque routine takes it, its opacity as the turn of the opacities.
    if (!bilinear) return;
    if (p.RotRadius == 0.0f || (p.RotAngle == 0.0f && p.StartAngle == 0.0f)) return;
    const double radius = p.RotRadius;
    const double r2 = static_cast<float>(radius * radius);
    const double theta = static_cast<double>(p.RotAngle) * 0.017453294277777778 * (i - 1) +
                         static_cast<double>(p.StartAngle) * 0.017453294277777778;
    const double c = static_cast<float>(std::cos(theta));
    const double s = static_cast<float>(std::sin(-theta));
    const double cx = static_cast<float>((W + 1) / 2.0), cy = static_cast<float>((H + 1) / 2.0);
    for (int32_t y = std::max(1, rnd(cy - radius)); y <= std::min(H, rnd(cy + radius)); ++y) {
        for (int32_t x = std::max(1, rnd(cx - radius)); x <= std::min(W, rnd(cx + radius)); ++x) {
            const double sx = static_cast<float>(cx + (x - cx) * c - (y - cy) * s);
            const double sy = static_cast<float>(cy + (y - cy) * c + (x - cx) * s);
            const auto ix = static_cast<int32_t>(std::floor(sx));
            const auto iy = static_cast<int32_t>(std::floor(sy));
            if (!(1 < ix && ix < W && 1 < iy && iy < H)) continue;
            if (!((ix - cx) * (ix - cx) + (iy - cy) * (iy - cy) <= r2)) continue;
            const uint8_t a00 = src(4, ix, iy);
            if (a00 == src(4, ix + 1, iy) && a00 == src(4, ix, iy + 1) &&
                a00 == src(4, ix + 1, iy + 1))
                continue;  // the opaque rendering's colour stands
            const auto a = static_cast<uint64_t>((sx - ix) * 4194304.0);
            const auto b = static_cast<uint64_t>((sy - iy) * 4194304.0);
            const uint64_t one = uint64_t{1} << 22;
            const uint64_t den = (one - a) * (one - b) * a00 + a * (one - b) * src(4, ix + 1, iy) +
                                 (one - a) * b * src(4, ix, iy + 1) +
                                 a * b * src(4, ix + 1, iy + 1);
            if (den == 0) continue;
            for (int k = 1; k <= 3; ++k) dst(k, x, y) = weightedColour(src, k, ix, iy, a, b);
        }
    }
}

}  // namespace reference
