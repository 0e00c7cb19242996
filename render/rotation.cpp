#include "rotation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "rotation_blend.h"
#include "rotation_kernels.h"
#include "rounding.h"

using namespace Engine;

namespace Render {

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

bool isPlainCopy(const KnobParams& params) {
    return (params.RotAngle == 0.0f && params.StartAngle == 0.0f) || params.RotRadius == 0.0f;
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

inline bool insideDisc(const RotationRow& r, int32_t x, int32_t y) {
    const double ddx = static_cast<double>(x) - static_cast<double>(r.centerX);
    const double ddy = static_cast<double>(y) - static_cast<double>(r.centerY);
    return ddx * ddx + ddy * ddy <= static_cast<double>(r.radiusSquared);
}

// Where pixel k of the row comes from in the bilinear loops: the top-left of
// its four source pixels and the weights a and b (fractions times 2^22).
// False when the pixel is not turned.
inline bool bilinearCell(const RotationRow& r, std::size_t k, const uint8_t*& p00, uint32_t& a,
                         uint32_t& b) {
    const auto sx = static_cast<float>(r.sxBase[k] - r.rowSx);
    const auto sy = static_cast<float>(r.rowSy + r.syTerm[k]);
    const int32_t ix = FloorToInt(sx);
    const int32_t iy = FloorToInt(sy);
    if (!(1 < ix && ix < r.width && 1 < iy && iy < r.height)) return false;
    if (!insideDisc(r, ix, iy)) return false;
    // sx - ix is exact (ix <= sx < ix + 1), and so is the scaling.
    a = static_cast<uint32_t>((sx - static_cast<float>(ix)) * 4194304.0f);
    b = static_cast<uint32_t>((sy - static_cast<float>(iy)) * 4194304.0f);
    p00 = r.src + (std::ptrdiff_t{iy} - 1) * r.width * 4 + (std::ptrdiff_t{ix} - 1) * 4;
    return true;
}

// The source pixel nearest to pixel k's position, or nothing when the pixel
// is not turned.
inline const uint8_t* nearestCell(const RotationRow& r, std::size_t k) {
    // Bounded by the picture's size plus its diagonal: no overflow.
    const int32_t px = RoundHalfEven(r.sxBase[k] - r.rowSx);
    const int32_t py = RoundHalfEven(r.rowSy + r.syTerm[k]);
    if (!(1 <= px && px <= r.width && 1 <= py && py <= r.height)) return nullptr;
    if (!insideDisc(r, px, py)) return nullptr;
    return r.src + (std::ptrdiff_t{py} - 1) * r.width * 4 + (std::ptrdiff_t{px} - 1) * 4;
}

void bilinearPixels(const RotationRow& r, std::size_t begin, std::size_t end) {
    const std::ptrdiff_t srcLine = std::ptrdiff_t{r.width} * 4;
    const uint8_t* p00 = nullptr;
    uint32_t a = 0, b = 0;
    for (std::size_t k = begin; k < end; ++k)
        if (bilinearCell(r, k, p00, a, b))
            blendPixel(p00, p00 + srcLine, a, b,
                       r.out + k * static_cast<std::size_t>(r.pixelBytes));
}

void nearestPixels(const RotationRow& r, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k)
        if (const uint8_t* p = nearestCell(r, k))
            std::memcpy(r.out + k * static_cast<std::size_t>(r.pixelBytes), p, 3);
}

void bilinearAlphaPixels(const RotationRow& r, std::size_t begin, std::size_t end) {
    const std::ptrdiff_t srcLine = std::ptrdiff_t{r.width} * 4;
    const uint8_t* p00 = nullptr;
    uint32_t a = 0, b = 0;
    for (std::size_t k = begin; k < end; ++k)
        if (bilinearCell(r, k, p00, a, b)) blendPixelAlpha(p00, p00 + srcLine, a, b, r.out + k * 4);
}

void nearestAlphaPixels(const RotationRow& r, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k)
        if (const uint8_t* p = nearestCell(r, k)) std::memcpy(r.out + k * 4, p, 4);
}

using ScalarLoop = void (*)(const RotationRow&, std::size_t, std::size_t);

// The loops for a frame's rows: sixteen and eight at a time where the
// processor has them, then one at a time.
struct Loops {
    WideLoop sixteen = nullptr;
    WideLoop eight = nullptr;
    ScalarLoop scalar = nullptr;
};

Loops loopsFor(bool bilinear, bool opacity, const PixelGrid& src, Kernel kernel) {
    const WideChoice wide =
        kernel == Kernel::Scalar ? WideChoice{} : WideKernels(src.width(), src.height());
    const WideLoops& sixteen = opacity ? wide.sixteenOpacity : wide.sixteen;
    const WideLoops& eight = opacity ? wide.eightOpacity : wide.eight;
    Loops l;
    if (kernel == Kernel::Best) l.sixteen = bilinear ? sixteen.bilinear : sixteen.nearest;
    l.eight = bilinear ? eight.bilinear : eight.nearest;
    if (opacity)
        l.scalar = bilinear ? &bilinearAlphaPixels : &nearestAlphaPixels;
    else
        l.scalar = bilinear ? &bilinearPixels : &nearestPixels;
    return l;
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
    const Loops loops = loopsFor(bilinear, rows.opacity && rows.pixelBytes == 4, src, kernel);
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
        if (loops.sixteen != nullptr) done = loops.sixteen(row, done, count);
        if (loops.eight != nullptr) done = loops.eight(row, done, count);
        loops.scalar(row, done, count);
    }
}

// The rows are copied whole first: the turn then writes only its box.
void rotateRows(bool bilinear, int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                const FrameRows& rows, Kernel kernel) {
    if (SrcBits.empty() || rows.count <= 0) return;
    CopyPlainRows(SrcBits, rows);
    if (isPlainCopy(params)) return;
    const FrameSetup f = setUp(i, params, SrcBits.width(), SrcBits.height());
    if (f.box.y0 > f.box.y1 || f.box.x0 > f.box.x1) return;
    turnRows(bilinear, f, SrcBits, rows, kernel);
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

void CopyPlainRows(const PixelGrid& src, const FrameRows& rows) {
    const auto bytes =
        static_cast<std::size_t>(src.width()) * static_cast<std::size_t>(rows.pixelBytes);
    for (int32_t r = 0; r < rows.count; ++r)
        std::memcpy(rows.dest + r * rows.bytesPerLine,
                    rows.plain + (rows.first + r) * rows.plainBytesPerLine, bytes);
}

int32_t RadiusLimit(float radiusSquared) {
    const double four = 4.0 * static_cast<double>(radiusSquared);
    if (!(four >= 0.0)) return -1;
    return four >= 1073741824.0 ? 1073741824 : static_cast<int32_t>(std::floor(four));
}

void RotateFrameBilinear(int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                         const FrameRows& rows, Kernel kernel) {
    rotateRows(true, i, params, SrcBits, rows, kernel);
}

void RotateFrameNearest(int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                        const FrameRows& rows, Kernel kernel) {
    rotateRows(false, i, params, SrcBits, rows, kernel);
}

}  // namespace AppModul

}  // namespace Render
