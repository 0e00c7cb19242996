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
    const double theta =
        static_cast<double>(params.RotAngle) * kDegToRad * (static_cast<double>(i) - 1.0);
    f.cosTheta = static_cast<float>(std::cos(theta));
    f.sinMinusTheta = static_cast<float>(std::sin(-theta));
    f.centerX = centre(width);
    f.centerY = centre(height);
    f.box = VisitedBox(params.RotRadius, width, height);
    if (!std::isfinite(theta))
        f.box.y1 = f.box.y0 - 1;  // no turn to compute: the frame stays a copy
    return f;
}

// Rows of the target layout straight from the plain source rows.
void copyRows(const PixelGrid& src, const FrameRows& rows) {
    const auto bytes =
        static_cast<std::size_t>(src.width()) * static_cast<std::size_t>(rows.pixelBytes);
    for (int32_t r = 0; r < rows.count; ++r)
        std::memcpy(rows.dest + r * rows.bytesPerLine,
                    rows.plain + (rows.first + r) * rows.plainBytesPerLine, bytes);
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

inline bool insideDisc(const RotationRow& r, int32_t x, int32_t y) {
    const double ddx = static_cast<double>(x) - static_cast<double>(r.centerX);
    const double ddy = static_cast<double>(y) - static_cast<double>(r.centerY);
    return ddx * ddx + ddy * ddy <= static_cast<double>(r.radiusSquared);
}

void bilinearPixels(const RotationRow& r, std::size_t begin, std::size_t end) {
    const std::ptrdiff_t srcLine = static_cast<std::ptrdiff_t>(r.width) * 4;
    for (std::size_t k = begin; k < end; ++k) {
        const auto sx = static_cast<float>(r.sxBase[k] - r.rowSx);
        const auto sy = static_cast<float>(r.rowSy + r.syTerm[k]);
        const int32_t ix = FloorToInt(sx);
        const int32_t iy = FloorToInt(sy);
        if (!(1 < ix && ix < r.width && 1 < iy && iy < r.height)) continue;
        if (!insideDisc(r, ix, iy)) continue;
        // sx - ix is exact (ix <= sx < ix + 1), and so is the scaling.
        const auto a = static_cast<uint32_t>((sx - static_cast<float>(ix)) * 4194304.0f);
        const auto b = static_cast<uint32_t>((sy - static_cast<float>(iy)) * 4194304.0f);
        const uint8_t* p00 = r.src + (iy - 1) * srcLine + (ix - 1) * 4;
        blendPixel(p00, p00 + srcLine, a, b, r.out + k * static_cast<std::size_t>(r.pixelBytes));
    }
}

void nearestPixels(const RotationRow& r, std::size_t begin, std::size_t end) {
    const std::ptrdiff_t srcLine = static_cast<std::ptrdiff_t>(r.width) * 4;
    for (std::size_t k = begin; k < end; ++k) {
        // Bounded by the picture's size plus its diagonal: no overflow.
        const int32_t px = RoundHalfEven(r.sxBase[k] - r.rowSx);
        const int32_t py = RoundHalfEven(r.rowSy + r.syTerm[k]);
        if (!(1 <= px && px <= r.width && 1 <= py && py <= r.height)) continue;
        if (!insideDisc(r, px, py)) continue;
        std::memcpy(r.out + k * static_cast<std::size_t>(r.pixelBytes),
                    r.src + (py - 1) * srcLine + (px - 1) * 4, 3);
    }
}

// The turned rows of the box that lie among the rows asked for.
void turnRows(bool bilinear, const FrameSetup& f, const PixelGrid& src, const FrameRows& rows,
              Kernel kernel) {
    const int32_t y0 = std::max(f.box.y0, rows.first + 1);
    const int32_t y1 = std::min(f.box.y1, rows.first + rows.count);
    if (y0 > y1) return;
    const ColumnTerms& terms = columnTerms(f);
    const double cy = f.centerY;
    const double c = f.cosTheta, s = f.sinMinusTheta;
    const std::size_t count = terms.sxBase.size();
    const WideChoice wide =
        kernel == Kernel::Scalar ? WideChoice{} : WideKernels(src.width(), src.height());
    const WideLoop sixteen = kernel != Kernel::Best ? nullptr
                             : bilinear             ? wide.sixteen.bilinear
                                                    : wide.sixteen.nearest;
    const WideLoop eight = bilinear ? wide.eight.bilinear : wide.eight.nearest;
    const auto scalarLoop = bilinear ? &bilinearPixels : &nearestPixels;
    const std::ptrdiff_t srcLine = static_cast<std::ptrdiff_t>(src.width()) * 4;
    RotationRow row{terms.sxBase.data(),
                    terms.syTerm.data(),
                    0.0,
                    0.0,
                    src.data(),
                    src.width(),
                    src.height(),
                    f.centerX,
                    f.centerY,
                    f.radiusSquared,
                    RadiusLimit(f.radiusSquared),
                    nullptr,
                    nullptr,
                    rows.pixelBytes};
    for (int32_t y = y0; y <= y1; ++y) {
        const double dy = static_cast<double>(y) - cy;
        row.rowSx = dy * s;
        row.rowSy = cy + dy * c;
        row.base = src.data() + (y - 1) * srcLine + (f.box.x0 - 1) * 4;
        row.out =
            rows.dest + (y - 1 - rows.first) * rows.bytesPerLine + (f.box.x0 - 1) * rows.pixelBytes;
        std::size_t done = 0;
        if (sixteen != nullptr) done = sixteen(row, done, count);
        if (eight != nullptr) done = eight(row, done, count);
        scalarLoop(row, done, count);
    }
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

int32_t RadiusLimit(float radiusSquared) {
    const double four = 4.0 * static_cast<double>(radiusSquared);
    if (!(four >= 0.0)) return -1;
    return four >= 1073741824.0 ? 1073741824 : static_cast<int32_t>(std::floor(four));
}

void RotateFrameRows(bool bilinear, int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                     const FrameRows& rows, Kernel kernel) {
    if (SrcBits.empty() || rows.count <= 0) return;
    copyRows(SrcBits, rows);
    if (params.RotAngle == 0.0f || params.RotRadius == 0.0f) return;
    const FrameSetup f = setUp(i, params, SrcBits.width(), SrcBits.height());
    if (f.box.y0 > f.box.y1 || f.box.x0 > f.box.x1) return;
    turnRows(bilinear, f, SrcBits, rows, kernel);
}

void RotateFrameInto(bool bilinear, int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                     uint8_t* dest, std::ptrdiff_t bytesPerLine, FrameCenter* center,
                     Kernel kernel) {
    if (SrcBits.empty()) return;
    const FrameRows all{0,
                        SrcBits.height(),
                        dest,
                        bytesPerLine,
                        4,
                        SrcBits.data(),
                        static_cast<std::ptrdiff_t>(SrcBits.width()) * 4};
    RotateFrameRows(bilinear, i, params, SrcBits, all, kernel);
    if (center != nullptr && params.RotAngle != 0.0f && params.RotRadius != 0.0f)
        *center = {centre(SrcBits.width()), centre(SrcBits.height())};
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

}  // namespace AppModul
