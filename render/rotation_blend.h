#pragma once

// The bilinear blend of one pixel, shared by the scalar loops and the
// vector loops' rare cases. Internal to the engine.

#include <cstddef>
#include <cstdint>

#include "rounding.h"

namespace Render {

namespace AppModul {

// The bilinear blend in whole numbers. For an accepted pixel sx and sy are
// floats of at least 2, so their spacing is a multiple of 2^-22: fx and fy are
// exact multiples of 2^-22 (fx = a / 2^22, fy = b / 2^22), gx = 1 - fx is
// exact too, and every product and sum of the blend
//   top    = round(P(ix + 1, iy) * fx + P(ix, iy) * gx)
//   bottom = round(P(ix + 1, iy + 1) * fx + P(ix, iy + 1) * gx)
//   value  = round((1 - fy) * top + fy * bottom)
// is exact in double, with a numerator below 2^30 over 2^22. The same
// numerators in 32-bit integers, rounded half to even, give the same bytes
// without a conversion per channel. (value never leaves 0..255: the weights
// are convex.)
inline constexpr int kFractionBits = 22;
inline constexpr uint32_t kOne = 1u << kFractionBits;

// numerator / 2^22 rounded half to even, without a branch: the carry out of
// the fraction happens above one half, and at exactly one half when the
// whole part is odd.
inline uint32_t roundFraction(uint32_t numerator) {
    const uint32_t odd = (numerator >> kFractionBits) & 1u;
    return (numerator + (kOne / 2 - 1) + odd) >> kFractionBits;
}

// Channels first .. last - 1 of the pixel between p00 (and its right-hand
// neighbour) and p01 (the pixel below p00, and its neighbour).
inline void blendChannels(const uint8_t* p00, const uint8_t* p01, uint32_t a, uint32_t b,
                          uint8_t* out, int first, int last) {
    const uint32_t ga = kOne - a, gb = kOne - b;
    for (int k = first; k < last; ++k) {
        const uint32_t top = roundFraction(p00[k + 4] * a + p00[k] * ga);
        const uint32_t bottom = roundFraction(p01[k + 4] * a + p01[k] * ga);
        out[k] = static_cast<uint8_t>(roundFraction(gb * top + b * bottom));
    }
}

inline void blendPixel(const uint8_t* p00, const uint8_t* p01, uint32_t a, uint32_t b,
                       uint8_t* out) {
    blendChannels(p00, p01, a, b, out, 0, 3);
}

// round(numerator / d), halves to the even neighbour, for a numerator below
// 2^62 and a quotient of at most 255. The double quotient, rounded, is the
// answer but within a hair of a half, where the remainder settles it; those
// branches are next to never taken. (Signed: the conversions to double are
// single instructions then.)
inline uint32_t divideRounded(int64_t numerator, int64_t d, double inverse) {
    int64_t q = Engine::RoundHalfEven(static_cast<double>(numerator) * inverse);
    const int64_t twice = 2 * (numerator - q * d);
    if (twice > d)
        ++q;
    else if (twice < -d)
        --q;
    else if (twice == d)
        q += q & 1;
    else if (twice == -d)
        q -= q & 1;
    return static_cast<uint32_t>(q);
}

// A pixel whose fourth byte is its opacity. The opacity blends as a colour
// does; where the four opacities are equal, so do the colours. Otherwise
// each colour is weighted by weight times opacity:
//   sum(w * alpha * c) / sum(w * alpha), rounded half to even,
// w00 = (2^22 - a)(2^22 - b), w10 = a (2^22 - b), w01 = (2^22 - a) b,
// w11 = a b, exact in 64 bits; when every weighted opacity is 0, the plain
// blend stands.
inline void blendPixelAlpha(const uint8_t* p00, const uint8_t* p01, uint32_t a, uint32_t b,
                            uint8_t* out) {
    blendChannels(p00, p01, a, b, out, 3, 4);
    const uint32_t ga = kOne - a, gb = kOne - b;
    // Weights times opacities: at most 2^44 x 255, their sum below 2^52.
    const auto v00 = static_cast<int64_t>(uint64_t{ga} * gb * p00[3]);
    const auto v10 = static_cast<int64_t>(uint64_t{a} * gb * p00[7]);
    const auto v01 = static_cast<int64_t>(uint64_t{ga} * b * p01[3]);
    const auto v11 = static_cast<int64_t>(uint64_t{a} * b * p01[7]);
    const int64_t sum = v00 + v10 + v01 + v11;
    const bool evenOpacity = p00[3] == p00[7] && p00[3] == p01[3] && p00[3] == p01[7];
    if (evenOpacity || sum == 0) {
        blendPixel(p00, p01, a, b, out);
        return;
    }
    const double inverse = 1.0 / static_cast<double>(sum);
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<uint8_t>(divideRounded(
            v00 * p00[k] + v10 * p00[k + 4] + v01 * p01[k] + v11 * p01[k + 4], sum, inverse));
}

// The vector loops' rare case: the lanes whose four source opacities differ
// (bit n for pixel k + n of the row), weighted by the scalar blend. index:
// each lane's top-left source pixel; wa, wb: its weights a and b.
inline void blendUnevenLanes(const uint8_t* src, int32_t width, uint8_t* out, unsigned lanes,
                             const int32_t* index, const int32_t* wa, const int32_t* wb) {
    const std::ptrdiff_t srcLine = std::ptrdiff_t{width} * 4;
    for (; lanes != 0; lanes &= lanes - 1) {
        const int lane = __builtin_ctz(lanes);
        const uint8_t* q = src + std::ptrdiff_t{index[lane]} * 4;
        blendPixelAlpha(q, q + srcLine, static_cast<uint32_t>(wa[lane]),
                        static_cast<uint32_t>(wb[lane]), out + lane * 4);
    }
}

}  // namespace AppModul

}  // namespace Render
