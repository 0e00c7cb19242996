#pragma once

#include <cstddef>
#include <cstdint>

#include "knob_params.h"
#include "pixel_grid.h"

// Degrees to radians as the knob has always turned: 3.14159297 / 180, a hair
// more than pi / 180. Strips made before must come out the same.
inline constexpr double kDegToRad = 0.017453294277777778;

// Rotation centre of the frame built last, in 1-based pixel coordinates.
struct FrameCenter {
    float CenterX = 0.0f;
    float CenterY = 0.0f;
};

namespace AppModul {

// The box of destination pixels a frame visits, inclusive and 1-based:
// centre -/+ radius rounded half to even, clipped to the picture. Empty
// (first > last) for a negative radius.
struct FrameBox {
    int32_t x0 = 1, x1 = 0, y0 = 1, y1 = 0;
    bool operator==(const FrameBox&) const = default;
};
FrameBox VisitedBox(float RotRadius, int32_t PicW, int32_t PicH);

// Builds frame i (1-based) in FrameBits from SrcBits: the disc of RotRadius
// pixels around the picture's centre turned by (i - 1) x RotAngle degrees
// clockwise on screen, everything else copied. Channel 4 is copied, never
// computed. FrameBits is made the size of SrcBits if it is not already.
// The centre is written to *center unless the frame is a plain copy.
void RotateFrameBilinear(int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                         PixelGrid& FrameBits, FrameCenter* center = nullptr);
void RotateFrameNearest(int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                        PixelGrid& FrameBits, FrameCenter* center = nullptr);

// Which loop computes the turned pixels: the fastest this processor runs,
// the eight-lane one (AVX2) even where a wider one runs, or the plain scalar
// one. Where a loop cannot run, the next narrower one does. All give the
// same bytes.
enum class Kernel { Best, EightLanes, Scalar };

// The same frame written straight into a W x H area of 32-bit pixels whose
// rows are bytesPerLine apart (for example its place in a strip).
void RotateFrameInto(bool bilinear, int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                     uint8_t* dest, std::ptrdiff_t bytesPerLine, FrameCenter* center = nullptr,
                     Kernel kernel = Kernel::Best);

// Where some rows of a frame go, and in which layout.
struct FrameRows {
    int32_t first = 0;  // first frame row to build, 0-based
    int32_t count = 0;  // rows to build
    // Row `first` of the frame; rows bytesPerLine apart (negative: upwards in
    // memory, as in a bottom-up file).
    uint8_t* dest = nullptr;
    std::ptrdiff_t bytesPerLine = 0;
    // 4: blue, green, red, fourth byte; 3: blue, green, red.
    int pixelBytes = 4;
    // The source picture's rows in that layout, row 0 first, rows
    // plainBytesPerLine apart: the pixels that are not turned are copied
    // from here. Its bytes must be those of SrcBits (the fourth byte too,
    // for four-byte pixels).
    const uint8_t* plain = nullptr;
    std::ptrdiff_t plainBytesPerLine = 0;
};

// Builds only the given rows of frame i, byte for byte as the whole frame
// has them; nothing outside those rows' pixels is written (padding neither).
void RotateFrameRows(bool bilinear, int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                     const FrameRows& rows, Kernel kernel = Kernel::Best);

}  // namespace AppModul
