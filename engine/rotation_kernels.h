#pragma once

// Inner loops of the rotation that have a vector form for processors that
// offer one. Internal to the engine.

#include <cstddef>
#include <cstdint>

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

// floor(4 x radiusSquared), kept within 0 .. 2^30, or -1 when no position
// can pass (a NaN radius).
int32_t RadiusLimit(float radiusSquared);

#if TORVELINK_HAVE_AVX2_KERNELS
// Whether the vector loops can run here, for a picture of this size: the
// processor has AVX2, and the picture's positions and squared distances fit
// the 32-bit lanes (sides up to 16384 pixels).
bool WideKernelUsable(int32_t width, int32_t height);

// Compute the row's first count / 8 x 8 pixels, eight at a time, byte for
// byte as the scalar loops do, and write all of them (unturned ones from
// `base`); return how many they did.
std::size_t BilinearPixelsWide(const RotationRow& row, std::size_t count);
std::size_t NearestPixelsWide(const RotationRow& row, std::size_t count);
#else
// Built for a processor without the vector loops: the scalar loops do all.
inline bool WideKernelUsable(int32_t, int32_t) {
    return false;
}
inline std::size_t BilinearPixelsWide(const RotationRow&, std::size_t) {
    return 0;
}
inline std::size_t NearestPixelsWide(const RotationRow&, std::size_t) {
    return 0;
}
#endif

}  // namespace AppModul
