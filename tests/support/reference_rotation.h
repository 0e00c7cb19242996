#pragma once

// A plain rendering of one frame, written for clarity rather than speed:
// every expression evaluated per pixel as the rotation is defined, with
// std::nearbyint and std::floor. The tests hold the engine to it byte for
// byte; the benchmark uses it as the baseline.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "knob_params.h"
#include "pixel_grid.h"

namespace reference {

inline int32_t rnd(double v) {
    return static_cast<int32_t>(std::nearbyint(v));
}

inline void RotateFrame(bool bilinear, int32_t i, const Engine::KnobParams& p,
                        const Engine::PixelGrid& src, Engine::PixelGrid& dst) {
    const int32_t W = src.width(), H = src.height();
    dst.allocate(W, H);
    std::memcpy(dst.data(), src.data(), src.byteCount());
    if ((p.RotAngle == 0.0f && p.StartAngle == 0.0f) || p.RotRadius == 0.0f) return;
    const double radius = p.RotRadius;
    const double r2 = static_cast<float>(radius * radius);
    const double theta = static_cast<double>(p.RotAngle) * 0.017453294277777778 * (i - 1) +
                         static_cast<double>(p.StartAngle) * 0.017453294277777778;
    // Stored as 32-bit floats, then used in double arithmetic.
    const double c = static_cast<float>(std::cos(theta));
    const double s = static_cast<float>(std::sin(-theta));
    const double cx = static_cast<float>((W + 1) / 2.0);
    const double cy = static_cast<float>((H + 1) / 2.0);
    int32_t y0 = rnd(cy - radius);
    int32_t y1 = rnd(cy + radius);
    int32_t x0 = rnd(cx - radius);
    int32_t x1 = rnd(cx + radius);
    if (y0 < 1) y0 = 1;
    if (y1 > H) y1 = H;
    if (x0 < 1) x0 = 1;
    if (x1 > W) x1 = W;
    for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
            const double sxd = cx + (x - cx) * c - (y - cy) * s;
            const double syd = cy + (y - cy) * c + (x - cx) * s;
            if (bilinear) {
                const double sx = static_cast<float>(sxd), sy = static_cast<float>(syd);
                const auto ix = static_cast<int32_t>(std::floor(sx));
                const auto iy = static_cast<int32_t>(std::floor(sy));
                if (!(1 < ix && ix < W && 1 < iy && iy < H)) continue;
                if (!((ix - cx) * (ix - cx) + (iy - cy) * (iy - cy) <= r2)) continue;
                const double fx = static_cast<float>(sx - ix);
                const double fy = static_cast<float>(sy - iy);
                const double gx = static_cast<float>(1.0 - fx);
                for (int k = 1; k <= 3; ++k) {
                    const int32_t top = rnd(src(k, ix + 1, iy) * fx + src(k, ix, iy) * gx);
                    const int32_t bottom =
                        rnd(src(k, ix + 1, iy + 1) * fx + src(k, ix, iy + 1) * gx);
                    int32_t v = rnd((1.0 - fy) * top + fy * bottom);
                    if (v > 255) v = 255;
                    if (v < 0) v = 0;
                    dst(k, x, y) = static_cast<uint8_t>(v);
                }
            } else {
                const int32_t px = rnd(sxd), py = rnd(syd);
                if (!(1 <= px && px <= W && 1 <= py && py <= H)) continue;
                if (!((px - cx) * (px - cx) + (py - cy) * (py - cy) <= r2)) continue;
                for (int k = 1; k <= 3; ++k) dst(k, x, y) = src(k, px, py);
            }
        }
    }
}

}  // namespace reference
