#include "rotation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

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

float centre(int32_t size) { return static_cast<float>((static_cast<double>(size) + 1.0) / 2.0); }

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
    if (!std::isfinite(theta)) f.box.y1 = f.box.y0 - 1;  // no turn to compute: the frame stays a copy
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

ColumnTerms columnTerms(const FrameSetup& f) {
    ColumnTerms t;
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

inline int32_t blend(uint8_t right, uint8_t left, double fx, double gx) {
    return RoundHalfEven(static_cast<double>(right) * fx + static_cast<double>(left) * gx);
}

void bilinearFrame(const FrameSetup& f, const PixelGrid& src, uint8_t* dest,
                   std::ptrdiff_t bytesPerLine) {
    const ColumnTerms terms = columnTerms(f);
    const double cx = f.centerX, cy = f.centerY;
    const double c = f.cosTheta, s = f.sinMinusTheta;
    const double r2 = f.radiusSquared;
    const std::ptrdiff_t srcLine = static_cast<std::ptrdiff_t>(src.width()) * 4;
    const uint8_t* srcBase = src.data();
    for (int32_t y = f.box.y0; y <= f.box.y1; ++y) {
        const double dy = static_cast<double>(y) - cy;
        const double rowSx = dy * s;
        const double rowSy = cy + dy * c;
        uint8_t* out = dest + (y - 1) * bytesPerLine + (f.box.x0 - 1) * 4;
        for (std::size_t k = 0; k < terms.sxBase.size(); ++k, out += 4) {
            const auto sx = static_cast<float>(terms.sxBase[k] - rowSx);
            const auto sy = static_cast<float>(rowSy + terms.syTerm[k]);
            const int32_t ix = FloorToInt(sx);
            const int32_t iy = FloorToInt(sy);
            if (!(1 < ix && ix < f.width && 1 < iy && iy < f.height)) continue;
            const double ddx = static_cast<double>(ix) - cx;
            const double ddy = static_cast<double>(iy) - cy;
            if (!(ddx * ddx + ddy * ddy <= r2)) continue;
            const auto fx = static_cast<float>(static_cast<double>(sx) - ix);
            const auto fy = static_cast<float>(static_cast<double>(sy) - iy);
            const auto gx = static_cast<float>(1.0 - static_cast<double>(fx));
            const double dfx = fx, dfy = fy, dgx = gx, hfy = 1.0 - dfy;
            const uint8_t* p00 = srcBase + (iy - 1) * srcLine + (ix - 1) * 4;
            const uint8_t* p01 = p00 + srcLine;
            for (int k3 = 0; k3 < 3; ++k3) {
                const int32_t top = blend(p00[k3 + 4], p00[k3], dfx, dgx);
                const int32_t bottom = blend(p01[k3 + 4], p01[k3], dfx, dgx);
                int32_t value = RoundHalfEven(hfy * static_cast<double>(top) +
                                              dfy * static_cast<double>(bottom));
                if (value > 255) value = 255;
                if (value < 0) value = 0;
                out[k3] = static_cast<uint8_t>(value);
            }
        }
    }
}

void nearestFrame(const FrameSetup& f, const PixelGrid& src, uint8_t* dest,
                  std::ptrdiff_t bytesPerLine) {
    const ColumnTerms terms = columnTerms(f);
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
                     uint8_t* dest, std::ptrdiff_t bytesPerLine, FrameCenter* center) {
    if (SrcBits.empty()) return;
    copySource(SrcBits, dest, bytesPerLine);
    if (params.RotAngle == 0.0f || params.RotRadius == 0.0f) return;
    const FrameSetup f = setUp(i, params, SrcBits.width(), SrcBits.height());
    if (center != nullptr) *center = {f.centerX, f.centerY};
    if (f.box.y0 > f.box.y1 || f.box.x0 > f.box.x1) return;
    if (bilinear)
        bilinearFrame(f, SrcBits, dest, bytesPerLine);
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

}  // namespace AppModul
