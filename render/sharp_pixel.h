#pragma once

// One pixel of the sharp routine, as the scalar loop computes it. The taps
// are summed across each tap row in whole numbers, which come out the same
// in any order and width; everything else is floats. The vector loops
// compute the same whole numbers and the same float operations in the same
// order (no fused multiply-add, IEEE division and square root), so they give
// the same bytes. Internal to the engine.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// A column weight of 1: the weights are whole multiples of 1 / 16384, small
// enough for 16-bit lanes, where the vector loops multiply two taps at once
// (pmaddwd), and fine enough: their rounding moves a pixel by less than a
// thirtieth of a level.
inline constexpr int32_t kWeightOne = 1 << 14;

// The cubic's weights in whole numbers: the second takes what rounding
// left of kWeightOne, so that they sum to 1 exactly and 0, 1, 0, 0 stays so.
inline void fixedWeights(float t, int32_t q[4]) {
    float w[4];
    cubicWeights(t, w);
    const auto fixed = [](float v) {
        return static_cast<int32_t>(std::nearbyint(v * static_cast<float>(kWeightOne)));
    };
    q[0] = fixed(w[0]);
    q[2] = fixed(w[2]);
    q[3] = fixed(w[3]);
    q[1] = kWeightOne - q[0] - q[2] - q[3];
}

// The weights of the four tap rows, as floats that also take both fixed
// points away: a row's sum is kWeightOne times too large, and these are.
inline void rowWeights(float t, float w[4]) {
    int32_t q[4];
    fixedWeights(t, q);
    for (int j = 0; j < 4; ++j) w[j] = static_cast<float>(q[j]) * 0x1p-28f;
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

// The filter's sums over the sixteen taps: colour times opacity (blue,
// green, red) and opacity in sum, the plain colours in plain; and the least
// and largest of each byte of the four nearest.
struct TapSums {
    float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float plain[3] = {0.0f, 0.0f, 0.0f};
    uint8_t low[4] = {255, 255, 255, 255};
    uint8_t high[4] = {0, 0, 0, 0};
};

inline int32_t clampIndex(int32_t v, int32_t last) {
    return v < 0 ? 0 : (v > last ? last : v);
}

// Tap i, j (0 .. 3) of a position whose top-left tap is column ix - 1, row
// iy - 1 (1-based ix, iy): the picture's edge repeated beyond it.
inline const uint8_t* tapAt(const SharpRow& r, int32_t ix, int32_t iy, int i, int j) {
    const int32_t row = clampIndex(iy - 2 + j, r.height - 1);
    const int32_t column = clampIndex(ix - 2 + i, r.width - 1);
    return r.src + (std::ptrdiff_t{row} * r.width + column) * 4;
}

// The sixteen taps in a block of four rows of four, for the vector loops'
// lanes that reach beyond the picture.
inline void copyTaps(const SharpRow& r, int32_t ix, int32_t iy, uint32_t block[4][4]) {
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) std::memcpy(&block[j][i], tapAt(r, ix, iy, i, j), 4);
}

// One tap row, the four taps p weighted by q, in whole numbers (exact, as
// the vector loops' 16-bit products and 32-bit sums are): each colour times
// the tap's opacity, the opacity, the plain colours. Without opacity every
// tap counts as 255.
inline void rowSums(const uint8_t* const p[4], const int32_t q[4], bool opacity, int32_t sum[4],
                    int32_t plain[3]) {
    for (int c = 0; c < 4; ++c) sum[c] = 0;
    for (int c = 0; c < 3; ++c) plain[c] = 0;
    for (int i = 0; i < 4; ++i) {
        const int32_t a = opacity ? p[i][3] : 255;
        for (int c = 0; c < 3; ++c) {
            sum[c] += q[i] * (a * p[i][c]);
            plain[c] += q[i] * p[i][c];
        }
        sum[3] += q[i] * a;
    }
}

// The cubic's overshoot near an edge would ring: the opacity stays within
// the four nearest pixels' opacities, a colour times opacity within the
// least opacity times the least colour and the largest times the largest.
// A constant picture stays constant so too.
inline void clampToNearest(TapSums& s, bool opacity) {
    const int32_t low = opacity ? s.low[3] : 255;
    const int32_t high = opacity ? s.high[3] : 255;
    for (int c = 0; c < 3; ++c)
        s.sum[c] = clampLane(s.sum[c], static_cast<float>(low * s.low[c]),
                             static_cast<float>(high * s.high[c]));
    s.sum[3] = clampLane(s.sum[3], static_cast<float>(low), static_cast<float>(high));
}

// The taps of a position whose top-left tap is column ix - 1, row iy - 1
// (1-based ix, iy): each tap row summed across in whole numbers, the rows
// summed down in floats, in row order.
inline TapSums sumTaps(const SharpRow& r, int32_t ix, int32_t iy, const int32_t qx[4],
                       const float wy[4]) {
    TapSums s;
    for (int j = 0; j < 4; ++j) {
        const uint8_t* p[4];
        for (int i = 0; i < 4; ++i) p[i] = tapAt(r, ix, iy, i, j);
        int32_t sum[4], plain[3];
        rowSums(p, qx, r.opacity, sum, plain);
        for (int c = 0; c < 4; ++c) {
            const float term = wy[j] * static_cast<float>(sum[c]);
            s.sum[c] = j == 0 ? term : s.sum[c] + term;
        }
        for (int c = 0; c < 3; ++c) {
            const float term = wy[j] * static_cast<float>(plain[c]);
            s.plain[c] = j == 0 ? term : s.plain[c] + term;
        }
        if (j != 1 && j != 2) continue;
        for (int i = 1; i <= 2; ++i)
            for (int c = 0; c < 4; ++c) {
                s.low[c] = p[i][c] < s.low[c] ? p[i][c] : s.low[c];
                s.high[c] = p[i][c] > s.high[c] ? p[i][c] : s.high[c];
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
    const float total = u * s.sum[3] + v * a;
    const float inverse = 1.0f / total;
    for (int c = 0; c < 3; ++c) {
        const auto colour = static_cast<float>(still[c]);
        if (total > 0.5f)
            out[c] = toByte((u * s.sum[c] + v * (a * colour)) * inverse);
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
    int32_t qx[4];
    float wy[4];
    fixedWeights(sx - fx, qx);
    rowWeights(sy - fy, wy);
    const TapSums s = sumTaps(r, static_cast<int32_t>(fx), static_cast<int32_t>(fy), qx, wy);
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
std::size_t SharpPixels16(const SharpRow& row, std::size_t begin, std::size_t count);
#else
inline SharpLoops SharpKernels(int32_t, int32_t) {
    return {};
}
#endif

}  // namespace AppModul

}  // namespace Render
