#pragma once

// Inner loops of the rotation that have a vector form for processors that
// offer one. Internal to the engine.

#include <cstddef>
#include <cstdint>

namespace AppModul {

// One row of destination pixels of the bilinear routine.
struct BilinearRow {
    const double* sxBase;  // per column: CenterX + (x - CenterX) * c
    const double* syTerm;  // per column: (x - CenterX) * s
    double rowSx;          // (y - CenterY) * s
    double rowSy;          // CenterY + (y - CenterY) * c
    const uint8_t* src;    // first byte of SrcBits
    int32_t width, height;
    float centerX, centerY, radiusSquared;
    uint8_t* out;  // the row's first visited pixel
};

#if TORVELINK_HAVE_AVX2_KERNELS
// Whether the vector loop can run here, for a picture of this size: the
// processor has AVX2, and the picture is small enough that the radius test
// is exact in single precision (squares of half-integers below 2^22).
bool WideKernelUsable(int32_t width, int32_t height);

// Computes the row's first count / 8 x 8 pixels, eight at a time, byte for
// byte as the scalar loop does; returns how many it did.
std::size_t BilinearPixelsWide(const BilinearRow& row, std::size_t count);

// The same for a picture whose fourth byte is its opacity: all four bytes
// blended as the opaque loop blends colours. That is the whole result where
// a pixel's four source opacities are equal; the positions k of the others
// are written to uneven[0..] and their number to unevenCount, for the scalar
// loop to weight their colours. uneven must have room for count entries.
std::size_t BilinearPixelsWideAlpha(const BilinearRow& row, std::size_t count, uint32_t* uneven,
                                    std::size_t& unevenCount);
#else
// Built for a processor without the vector loops: the scalar loop does all.
inline bool WideKernelUsable(int32_t, int32_t) {
    return false;
}
inline std::size_t BilinearPixelsWide(const BilinearRow&, std::size_t) {
    return 0;
}
inline std::size_t BilinearPixelsWideAlpha(const BilinearRow&, std::size_t, uint32_t*,
                                           std::size_t& unevenCount) {
    unevenCount = 0;
    return 0;
}
#endif

}  // namespace AppModul
