#include "rotation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "rotation_kernels.h"
#include "rounding.h"

namespace AppModul {

namespace {

// Per-frame constants, each stored at the precision the result depends on.
struct FrameSetup {
    int32_t width = 0;
    int32_t height = 0;
    float radiusSquared = 0.0f;
    float cosTheta = 0.0f;
    float sinMinusTheta = 0.0f;
    float centerX = 0.0f;
    float centerY = 0.0f;
    FrameBox box;
};

float centre(int32_t size) {
    return static_cast<float>((static_cast<double>(size) + 1.0) / 2.0);
}

FrameSetup setUp(int32_t i, const KnobParams& params, int32_t width, int32_t height) {
    FrameSetup f;
    f.width = width;
    f.height = height;
    const double radius = params.RotRadius;
    f.radiusSquared = static_cast<float>(radius * radius);
    double theta =
        static_cast<double>(params.RotAngle) * kDegToRad * (static_cast<double>(i) - 1.0);
    // Added only when set, so strips without a start turn keep every bit.
    if (params.StartAngle != 0.0f) theta += static_cast<double>(params.StartAngle) * kDegToRad;
    f.cosTheta = static_cast<float>(std::cos(theta));
    f.sinMinusTheta = static_cast<float>(std::sin(-theta));
    f.centerX = centre(width);
    f.centerY = centre(height);
    f.box = VisitedBox(params.RotRadius, width, height);
    if (!std::isfinite(theta))
        f.box.y1 = f.box.y0 - 1;  // no turn to compute: the frame stays a copy
    return f;
}

void copySource(const PixelGrid& src, uint8_t* dest, std::ptrdiff_t bytesPerLine) {
    const auto rowBytes = static_cast<std::size_t>(src.width()) * 4;
    if (bytesPerLine == static_cast<std::ptrdiff_t>(rowBytes)) {
        std::memcpy(dest, src.data(), src.byteCount());
        return;
    }
    for (int32_t y = 0; y < src.height(); ++y)
        std::memcpy(dest + y * bytesPerLine, src.data() + static_cast<std::size_t>(y) * rowBytes,
                    rowBytes);
}

// The terms of the inverse rotation that depend on the column only, so that
// each pixel evaluates exactly
//   sx = CenterX + (x - CenterX) * c - (y - CenterY) * s
//   sy = CenterY + (y - CenterY) * c + (x - CenterX) * s
// in double, in that order, with two operations left per pixel.
struct ColumnTerms {
    std::vector<double> sxBase;  // CenterX + (x - CenterX) * c
    std::vector<double> syTerm;  // (x - CenterX) * s
};

// Kept per thread and reused, so that building a frame allocates nothing
// once the first frame of the largest width is done.
const ColumnTerms& columnTerms(const FrameSetup& f) {
    thread_local ColumnTerms t;
    const auto n = static_cast<std::size_t>(f.box.x1 - f.box.x0 + 1);
    t.sxBase.resize(n);
    t.syTerm.resize(n);
    const double cx = f.centerX;
    for (std::size_t k = 0; k < n; ++k) {
        const double dx = static_cast<double>(f.box.x0 + static_cast<int32_t>(k)) - cx;
        t.sxBase[k] = cx + dx * static_cast<double>(f.cosTheta);
        t.syTerm[k] = dx * static_cast<double>(f.sinMinusTheta);
    }
    return t;
}

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
constexpr int kFractionBits = 22;
constexpr uint32_t kOne = 1u << kFractionBits;

// numerator / 2^22 rounded half to even, without a branch: the carry out of
// the fraction happens above one half, and at exactly one half when the
// whole part is odd.
inline uint32_t roundFraction(uint32_t numerator) {
    const uint32_t odd = (numerator >> kFractionBits) & 1u;
    return (numerator + (kOne / 2 - 1) + odd) >> kFractionBits;
}

inline void blendPixel(const uint8_t* p00, const uint8_t* p01, uint32_t a, uint32_t b,
                       uint8_t* out) {
    const uint32_t ga = kOne - a, gb = kOne - b;
    for (int k = 0; k < 3; ++k) {
        const uint32_t top = roundFraction(p00[k + 4] * a + p00[k] * ga);
        const uint32_t bottom = roundFraction(p01[k + 4] * a + p01[k] * ga);
        out[k] = static_cast<uint8_t>(roundFraction(gb * top + b * bottom));
    }
}

void bilinearPixels(const BilinearRow& r, std::size_t begin, std::size_t end) {
    const double cx = r.centerX, cy = r.centerY, r2 = r.radiusSquared;
    const std::ptrdiff_t srcLine = static_cast<std::ptrdiff_t>(r.width) * 4;
    for (std::size_t k = begin; k < end; ++k) {
        const auto sx = static_cast<float>(r.sxBase[k] - r.rowSx);
        const auto sy = static_cast<float>(r.rowSy + r.syTerm[k]);
        const int32_t ix = FloorToInt(sx);
        const int32_t iy = FloorToInt(sy);
        if (!(1 < ix && ix < r.width && 1 < iy && iy < r.height)) continue;
        const double ddx = static_cast<double>(ix) - cx;
        const double ddy = static_cast<double>(iy) - cy;
        if (!(ddx * ddx + ddy * ddy <= r2)) continue;
        // sx - ix is exact (ix <= sx < ix + 1), and so is the scaling.
        const auto a = static_cast<uint32_t>((sx - static_cast<float>(ix)) * 4194304.0f);
        const auto b = static_cast<uint32_t>((sy - static_cast<float>(iy)) * 4194304.0f);
        const uint8_t* p00 = r.src + (iy - 1) * srcLine + (ix - 1) * 4;
        blendPixel(p00, p00 + srcLine, a, b, r.out + k * 4);
    }
}

void bilinearFrame(const FrameSetup& f, const PixelGrid& src, uint8_t* dest,
                   std::ptrdiff_t bytesPerLine, Kernel kernel) {
    const ColumnTerms& terms = columnTerms(f);
    const double cy = f.centerY;
    const double c = f.cosTheta, s = f.sinMinusTheta;
    const std::size_t count = terms.sxBase.size();
    const bool wide = kernel == Kernel::Best && WideKernelUsable(src.width(), src.height());
    BilinearRow row{terms.sxBase.data(), terms.syTerm.data(), 0.0,          0.0,
                    src.data(),          src.width(),         src.height(), f.centerX,
                    f.centerY,           f.radiusSquared,     nullptr};
    for (int32_t y = f.box.y0; y <= f.box.y1; ++y) {
        const double dy = static_cast<double>(y) - cy;
        row.rowSx = dy * s;
        row.rowSy = cy + dy * c;
        row.out = dest + (y - 1) * bytesPerLine + (f.box.x0 - 1) * 4;
        const std::size_t done = wide ? BilinearPixelsWide(row, count) : 0;
        bilinearPixels(row, done, count);
    }
}

void nearestFrame(const FrameSetup& f, const PixelGrid& src, uint8_t* dest,
                  std::ptrdiff_t bytesPerLine) {
    const ColumnTerms& terms = columnTerms(f);
    const double cx = f.centerX, cy = f.centerY;
    const double c = f.cosTheta, s = f.sinMinusTheta;
    const double r2 = f.radiusSquared;
    const std::ptrdiff_t srcLine = static_cast<std::ptrdiff_t>(src.width()) * 4;
    for (int32_t y = f.box.y0; y <= f.box.y1; ++y) {
        const double dy = static_cast<double>(y) - cy;
        const double rowSx = dy * s;
        const double rowSy = cy + dy * c;
        uint8_t* out = dest + (y - 1) * bytesPerLine + (f.box.x0 - 1) * 4;
        for (std::size_t k = 0; k < terms.sxBase.size(); ++k, out += 4) {
            // Bounded by the picture's size plus its diagonal: no overflow.
            const int32_t px = RoundHalfEven(terms.sxBase[k] - rowSx);
            const int32_t py = RoundHalfEven(rowSy + terms.syTerm[k]);
            if (!(1 <= px && px <= f.width && 1 <= py && py <= f.height)) continue;
            const double ddx = static_cast<double>(px) - cx;
            const double ddy = static_cast<double>(py) - cy;
            if (!(ddx * ddx + ddy * ddy <= r2)) continue;
            std::memcpy(out, src.data() + (py - 1) * srcLine + (px - 1) * 4, 3);
        }
    }
}

bool isPlainCopy(const KnobParams& params) {
    return (params.RotAngle == 0.0f && params.StartAngle == 0.0f) || params.RotRadius == 0.0f;
}

}  // namespace

FrameBox VisitedBox(float RotRadius, int32_t PicW, int32_t PicH) {
    const double radius = RotRadius;
    const double cx = centre(PicW), cy = centre(PicH);
    FrameBox box;
    box.y0 = std::max(1, RoundHalfEvenClamped(cy - radius));
    box.y1 = std::min(PicH, RoundHalfEvenClamped(cy + radius));
    box.x0 = std::max(1, RoundHalfEvenClamped(cx - radius));
    box.x1 = std::min(PicW, RoundHalfEvenClamped(cx + radius));
    return box;
}

void RotateFrameInto(bool bilinear, int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                     uint8_t* dest, std::ptrdiff_t bytesPerLine, FrameCenter* center,
                     Kernel kernel) {
    if (SrcBits.empty()) return;
    copySource(SrcBits, dest, bytesPerLine);
    if (isPlainCopy(params)) return;
    const FrameSetup f = setUp(i, params, SrcBits.width(), SrcBits.height());
    if (center != nullptr) *center = {f.centerX, f.centerY};
    if (f.box.y0 > f.box.y1 || f.box.x0 > f.box.x1) return;
    if (bilinear)
        bilinearFrame(f, SrcBits, dest, bytesPerLine, kernel);
    else
        nearestFrame(f, SrcBits, dest, bytesPerLine);
}

namespace {
void rotateIntoGrid(bool bilinear, int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                    PixelGrid& FrameBits, FrameCenter* center) {
    if (FrameBits.width() != SrcBits.width() || FrameBits.height() != SrcBits.height())
        FrameBits.allocate(SrcBits.width(), SrcBits.height());
    RotateFrameInto(bilinear, i, params, SrcBits, FrameBits.data(),
                    static_cast<std::ptrdiff_t>(SrcBits.width()) * 4, center);
}
}  // namespace

void RotateFrameBilinear(int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                         PixelGrid& FrameBits, FrameCenter* center) {
    rotateIntoGrid(true, i, params, SrcBits, FrameBits, center);
}

void RotateFrameNearest(int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                        PixelGrid& FrameBits, FrameCenter* center) {
    rotateIntoGrid(false, i, params, SrcBits, FrameBits, center);
}

namespace {

// round(numerator / denominator), halves to the even neighbour, for a
// numerator below 2^62 and a quotient of at most 255: the double quotient
// is within one of the exact one, and the remainder settles it.
inline uint32_t divideRounded(uint64_t numerator, uint64_t denominator, double inverse) {
    auto q = static_cast<int64_t>(static_cast<double>(numerator) * inverse);
    const auto d = static_cast<int64_t>(denominator);
    int64_t r = static_cast<int64_t>(numerator) - q * d;
    if (r < 0) {
        --q;
        r += d;
    } else if (r >= d) {
        ++q;
        r -= d;
    }
    if (2 * r > d || (2 * r == d && (q & 1) != 0)) ++q;
    return static_cast<uint32_t>(q);
}

inline void blendPixelAlpha(const uint8_t* p00, const uint8_t* p01, uint32_t a, uint32_t b,
                            uint8_t* out) {
    const uint32_t ga = kOne - a, gb = kOne - b;
    const uint32_t top = roundFraction(p00[7] * a + p00[3] * ga);
    const uint32_t bottom = roundFraction(p01[7] * a + p01[3] * ga);
    out[3] = static_cast<uint8_t>(roundFraction(gb * top + b * bottom));
    // Weights times opacities: below 2^44 x 255, their sum below 2^52.
    const uint64_t v00 = uint64_t{ga} * gb * p00[3], v10 = uint64_t{a} * gb * p00[7];
    const uint64_t v01 = uint64_t{ga} * b * p01[3], v11 = uint64_t{a} * b * p01[7];
    const uint64_t sum = v00 + v10 + v01 + v11;
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

void alphaBilinearPixels(const BilinearRow& r, std::size_t begin, std::size_t end) {
    const double cx = r.centerX, cy = r.centerY, r2 = r.radiusSquared;
    const std::ptrdiff_t srcLine = static_cast<std::ptrdiff_t>(r.width) * 4;
    for (std::size_t k = begin; k < end; ++k) {
        const auto sx = static_cast<float>(r.sxBase[k] - r.rowSx);
        const auto sy = static_cast<float>(r.rowSy + r.syTerm[k]);
        const int32_t ix = FloorToInt(sx);
        const int32_t iy = FloorToInt(sy);
        if (!(1 < ix && ix < r.width && 1 < iy && iy < r.height)) continue;
        const double ddx = static_cast<double>(ix) - cx;
        const double ddy = static_cast<double>(iy) - cy;
        if (!(ddx * ddx + ddy * ddy <= r2)) continue;
        const auto a = static_cast<uint32_t>((sx - static_cast<float>(ix)) * 4194304.0f);
        const auto b = static_cast<uint32_t>((sy - static_cast<float>(iy)) * 4194304.0f);
        const uint8_t* p00 = r.src + (iy - 1) * srcLine + (ix - 1) * 4;
        blendPixelAlpha(p00, p00 + srcLine, a, b, r.out + k * 4);
    }
}

void alphaBilinearFrame(const FrameSetup& f, const PixelGrid& src, uint8_t* dest,
                        std::ptrdiff_t bytesPerLine, Kernel kernel) {
    const ColumnTerms& terms = columnTerms(f);
    const double cy = f.centerY;
    const double c = f.cosTheta, s = f.sinMinusTheta;
    const std::size_t count = terms.sxBase.size();
    const bool wide = kernel == Kernel::Best && WideKernelUsable(src.width(), src.height());
    thread_local std::vector<uint32_t> uneven;
    uneven.resize(count);
    BilinearRow row{terms.sxBase.data(), terms.syTerm.data(), 0.0,          0.0,
                    src.data(),          src.width(),         src.height(), f.centerX,
                    f.centerY,           f.radiusSquared,     nullptr};
    for (int32_t y = f.box.y0; y <= f.box.y1; ++y) {
        const double dy = static_cast<double>(y) - cy;
        row.rowSx = dy * s;
        row.rowSy = cy + dy * c;
        row.out = dest + (y - 1) * bytesPerLine + (f.box.x0 - 1) * 4;
        std::size_t unevenCount = 0;
        const std::size_t done =
            wide ? BilinearPixelsWideAlpha(row, count, uneven.data(), unevenCount) : 0;
        for (std::size_t j = 0; j < unevenCount; ++j)
            alphaBilinearPixels(row, uneven[j], uneven[j] + std::size_t{1});
        alphaBilinearPixels(row, done, count);
    }
}

void alphaNearestFrame(const FrameSetup& f, const PixelGrid& src, uint8_t* dest,
                       std::ptrdiff_t bytesPerLine) {
    const ColumnTerms& terms = columnTerms(f);
    const double cx = f.centerX, cy = f.centerY;
    const double c = f.cosTheta, s = f.sinMinusTheta;
    const double r2 = f.radiusSquared;
    const std::ptrdiff_t srcLine = static_cast<std::ptrdiff_t>(src.width()) * 4;
    for (int32_t y = f.box.y0; y <= f.box.y1; ++y) {
        const double dy = static_cast<double>(y) - cy;
        const double rowSx = dy * s;
        const double rowSy = cy + dy * c;
        uint8_t* out = dest + (y - 1) * bytesPerLine + (f.box.x0 - 1) * 4;
        for (std::size_t k = 0; k < terms.sxBase.size(); ++k, out += 4) {
            const int32_t px = RoundHalfEven(terms.sxBase[k] - rowSx);
            const int32_t py = RoundHalfEven(rowSy + terms.syTerm[k]);
            if (!(1 <= px && px <= f.width && 1 <= py && py <= f.height)) continue;
            const double ddx = static_cast<double>(px) - cx;
            const double ddy = static_cast<double>(py) - cy;
            if (!(ddx * ddx + ddy * ddy <= r2)) continue;
            std::memcpy(out, src.data() + (py - 1) * srcLine + (px - 1) * 4, 4);
        }
    }
}

}  // namespace

void RotateFrameAlphaInto(bool bilinear, int32_t i, const KnobParams& params,
                          const PixelGrid& SrcBits, uint8_t* dest, std::ptrdiff_t bytesPerLine,
                          Kernel kernel) {
    if (SrcBits.empty()) return;
    copySource(SrcBits, dest, bytesPerLine);
    if (isPlainCopy(params)) return;
    const FrameSetup f = setUp(i, params, SrcBits.width(), SrcBits.height());
    if (f.box.y0 > f.box.y1 || f.box.x0 > f.box.x1) return;
    if (bilinear)
        alphaBilinearFrame(f, SrcBits, dest, bytesPerLine, kernel);
    else
        alphaNearestFrame(f, SrcBits, dest, bytesPerLine);
}

}  // namespace AppModul
