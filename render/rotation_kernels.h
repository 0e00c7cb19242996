#pragma once

// Inner loops of the rotation that have a vector form for processors that
// offer one. Internal to the engine.

#include <cstddef>
#include <cstdint>

#include "pixel_grid.h"
#include "rotation.h"

namespace Render {

namespace AppModul {

// One row of destination pixels of either routine.
struct RotationRow {
    const double* sxBase;  // per column: CenterX + (x - CenterX) * c
    const double* syTerm;  // per column: (x - CenterX) * s
    double rowSx;          // (y - CenterY) * s
    double rowSy;          // CenterY + (y - CenterY) * c
    const uint8_t* src;    // first byte of SrcBits
    int32_t width, height;
    float centerX, centerY, radiusSquared;
    // The radius test in whole numbers: with dx = 2 x - (width + 1) and
    // dy = 2 y - (height + 1) (twice the distance from the centre, exact),
    // a position is inside when dx * dx + dy * dy <= radiusLimit.
    int32_t radiusLimit;
    const uint8_t* base;  // SrcBits at the row's first visited pixel: what is not turned
    uint8_t* out;         // the row's first visited pixel in the destination
    int pixelBytes;       // 3 or 4
};

// Rows rows.first .. rows.first + rows.count - 1 of the frame as the plain
// source rows have them: every routine starts from this copy and writes
// only the pixels it turns.
void CopyPlainRows(const Engine::PixelGrid& src, const FrameRows& rows);

// floor(4 x radiusSquared), kept within 0 .. 2^30, or -1 when no position
// can pass (a NaN radius).
int32_t RadiusLimit(float radiusSquared);

// The vector loops compute a row's pixels from `begin` on, eight (AVX2) or
// sixteen (AVX-512) at a time, byte for byte as the scalar loops do (a step
// with a turned pixel writes all of its pixels, the others from `base`), and
// return where they stopped: fewer than a step's pixels are left.
using WideLoop = std::size_t (*)(const RotationRow& row, std::size_t begin, std::size_t count);

struct WideLoops {
    WideLoop bilinear = nullptr;
    WideLoop nearest = nullptr;
};

// The loops this processor runs for a picture of this size; null where it
// runs none. A picture's positions and squared distances must fit the 32-bit
// lanes: sides up to 16384 pixels.
struct WideChoice {
    WideLoops sixteen;  // AVX-512
    WideLoops eight;    // AVX2
    // The same for four-byte pixels whose fourth byte is their opacity.
    WideLoops sixteenOpacity;
    WideLoops eightOpacity;
};

#if TORVELINK_HAVE_AVX2_KERNELS
WideChoice WideKernels(int32_t width, int32_t height);

std::size_t BilinearPixels8(const RotationRow& row, std::size_t begin, std::size_t count);
std::size_t NearestPixels8(const RotationRow& row, std::size_t begin, std::size_t count);
std::size_t BilinearPixels16(const RotationRow& row, std::size_t begin, std::size_t count);
std::size_t NearestPixels16(const RotationRow& row, std::size_t begin, std::size_t count);
std::size_t BilinearAlphaPixels8(const RotationRow& row, std::size_t begin, std::size_t count);
std::size_t NearestAlphaPixels8(const RotationRow& row, std::size_t begin, std::size_t count);
std::size_t BilinearAlphaPixels16(const RotationRow& row, std::size_t begin, std::size_t count);
std::size_t NearestAlphaPixels16(const RotationRow& row, std::size_t begin, std::size_t count);
#else
// Built for a processor without the vector loops: the scalar loops do all.
inline WideChoice WideKernels(int32_t, int32_t) {
    return {};
}
#endif

}  // namespace AppModul

}  // namespace Render
