#pragma once

// One pixel of the sharp routine, as the scalar loop computes it. The vector
// loops compute the same operations on the same float values in the same
// order (no fused multiply-add, IEEE division and square root), so they give
// the same bytes. Internal to the engine.

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace Render {

namespace AppModul {

// One row of destination pixels of the sharp routine.
struct SharpRow {
    const double* sxBase;    // per column: CenterX + (x - CenterX) * c
    const double* syTerm;    // per column: -(x - CenterX) * s
    const float* dxSquared;  // per column: (x - CenterX)^2
    double rowSx;            // (y - CenterY) * s
    double rowSy;            // CenterY + (y - CenterY) * c
    float dySquared;         // (y - CenterY)^2
    float outer;             // radius + 0.5: where the turned share reaches 0
    float widthPlusOne;      // W + 1 and H + 1: a position's share fades
    float heightPlusOne;     // to 0 at 0 and at these
    const uint8_t* src;      // first byte of SrcBits
    int32_t width, height;
    const uint8_t* base;  // SrcBits at the row's first visited pixel
    uint8_t* out;         // the row's first visited pixel in the destination
    int pixelBytes;       // 3 or 4
    bool opacity;         // the fourth byte is opacity that turns
};

// The min and max of the vector instructions, whose answer for equal
// operands (+0 and -0) is their second one.
inline float minLane(float a, float b) {
    return a < b ? a : b;
}
inline float maxLane(float a, float b) {
    return a > b ? a : b;
}
inline float clampLane(float v, float lo, float hi) {
    return minLane(maxLane(v, lo), hi);
}

// Keys' cubic with a = -1 at the four taps around a position t past the
// second (0 <= t < 1): 0, 1, 0, 0 at t = 0, so a whole position takes its
// pixel alone. Sharper than Catmull-Rom's a = -1/2; its overshoot is clamped
// away (clampToNearest), and on knob drawings it came closest to the
// drawings turned (bench/README.md).
inline void cubicWeights(float t, float w[4]) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    w[0] = t2 + t2 - t3 - t;
    w[1] = t3 - t2 - t2 + 1.0f;
    w[2] = t + t2 - t3;
    w[3] = t3 - t2;
}

// The share of pixel k that turns: inside the disc (fading over the pixel
// at its edge) and inside the picture at its source position.
inline float turnedShare(const SharpRow& r, std::size_t k, float sx, float sy) {
    const float d = std::sqrt(r.dxSquared[k] + r.dySquared);
    const float disc = clampLane(r.outer - d, 0.0f, 1.0f);
    const float inside =
        minLane(minLane(sx, r.widthPlusOne - sx), minLane(sy, r.heightPlusOne - sy));
    return disc * clampLane(inside, 0.0f, 1.0f);
}

// Sums over the sixteen taps, each weighted by the product of its row's and
// its column's weight: opacity, colour times opacity, plain colour; and the
// least and largest of each byte of the four nearest.
struct TapSums {
    float opacity = 0.0f;
    float weighted[3] = {0.0f, 0.0f, 0.0f};
    float plain[3] = {0.0f, 0.0f, 0.0f};
    uint8_t low[4] = {255, 255, 255, 255};
    uint8_t high[4] = {0, 0, 0, 0};
};

inline int32_t clampIndex(int32_t v, int32_t last) {
    return v < 0 ? 0 : (v > last ? last : v);
}

// One tap: p its pixel, w its weight, nearest whether it is one of the four
// nearest. A colour's weight is the tap's weight times its opacity, rounded
// once.
inline void addTap(TapSums& s, const uint8_t* p, float w, bool opacity, bool nearest) {
    const float a = opacity ? static_cast<float>(p[3]) : 255.0f;
    const float wa = w * a;
    s.opacity = s.opacity + wa;
    for (int c = 0; c < 3; ++c) {
        const auto colour = static_cast<float>(p[c]);
        s.weighted[c] = s.weighted[c] + wa * colour;
        s.plain[c] = s.plain[c] + w * colour;
    }
    if (!nearest) return;
    for (int c = 0; c < 4; ++c) {
        s.low[c] = p[c] < s.low[c] ? p[c] : s.low[c];
        s.high[c] = p[c] > s.high[c] ? p[c] : s.high[c];
    }
}

// The cubic's overshoot near an edge would ring: the opacity stays within
// the four nearest pixels' opacities, a colour times opacity within the
// least opacity times the least colour and the largest times the largest.
// A constant picture stays constant so too.
inline void clampToNearest(TapSums& s, bool opacity) {
    const float low = opacity ? static_cast<float>(s.low[3]) : 255.0f;
    const float high = opacity ? static_cast<float>(s.high[3]) : 255.0f;
    for (int c = 0; c < 3; ++c)
        s.weighted[c] = clampLane(s.weighted[c], low * static_cast<float>(s.low[c]),
                                  high * static_cast<float>(s.high[c]));
    s.opacity = clampLane(s.opacity, low, high);
}

// The taps of a position whose top-left tap is column ix - 1, row iy - 1
// (1-based ix, iy), the picture's edge repeated beyond it.
inline TapSums sumTaps(const SharpRow& r, int32_t ix, int32_t iy, const float wx[4],
                       const float wy[4]) {
    TapSums s;
    for (int j = 0; j < 4; ++j) {
        const int32_t row = clampIndex(iy - 2 + j, r.height - 1);
        for (int i = 0; i < 4; ++i) {
            const int32_t column = clampIndex(ix - 2 + i, r.width - 1);
            const uint8_t* p = r.src + (std::ptrdiff_t{row} * r.width + column) * 4;
            addTap(s, p, wy[j] * wx[i], r.opacity, (i == 1 || i == 2) && (j == 1 || j == 2));
        }
    }
    clampToNearest(s, r.opacity);
    return s;
}

inline uint8_t toByte(float v) {
    return static_cast<uint8_t>(std::nearbyint(clampLane(v, 0.0f, 255.0f)));
}

// The turned sums blended with the still pixel by the turned share u; the
// colour divided by the opacity where the opacity comes out above 0.
inline void finishPixel(const TapSums& s, float u, const uint8_t* still, bool opacity,
                        uint8_t* out) {
    const float v = 1.0f - u;
    const float a = opacity ? static_cast<float>(still[3]) : 255.0f;
    const float total = u * s.opacity + v * a;
    const float inverse = 1.0f / total;
    for (int c = 0; c < 3; ++c) {
        const auto colour = static_cast<float>(still[c]);
        if (total > 0.5f)
            out[c] = toByte((u * s.weighted[c] + v * (a * colour)) * inverse);
        else
            out[c] = toByte(u * s.plain[c] + v * colour);
    }
    if (opacity) out[3] = toByte(total);
}

// Pixel k of the row; nothing when no share of it turns.
inline void sharpPixel(const SharpRow& r, std::size_t k) {
    const auto sx = static_cast<float>(r.sxBase[k] + r.rowSx);
    const auto sy = static_cast<float>(r.rowSy + r.syTerm[k]);
    const float u = turnedShare(r, k, sx, sy);
    if (!(u > 0.0f)) return;
    const float fx = std::floor(sx), fy = std::floor(sy);
    float wx[4], wy[4];
    cubicWeights(sx - fx, wx);
    cubicWeights(sy - fy, wy);
    const TapSums s = sumTaps(r, static_cast<int32_t>(fx), static_cast<int32_t>(fy), wx, wy);
    const uint8_t* still = r.base + k * 4;
    finishPixel(s, u, still, r.opacity, r.out + k * static_cast<std::size_t>(r.pixelBytes));
}

// The vector loops compute a row's pixels from `begin` on, eight (AVX2) or
// sixteen (AVX-512) at a time, byte for byte as sharpPixel does, and return
// where they stopped: fewer than a step's pixels are left.
using SharpLoop = std::size_t (*)(const SharpRow& row, std::size_t begin, std::size_t count);

struct SharpLoops {
    SharpLoop sixteen = nullptr;
    SharpLoop eight = nullptr;
};

#if TORVELINK_HAVE_AVX2_KERNELS
// The loops this processor runs for a picture of this size; null where it
// runs none (a side below 4 or above 16384 pixels).
SharpLoops SharpKernels(int32_t width, int32_t height);

std::size_t SharpPixels8(const SharpRow& row, std::size_t begin, std::size_t count);
#else
inline SharpLoops SharpKernels(int32_t, int32_t) {
    return {};
}
#endif

}  // namespace AppModul

}  // namespace Render
