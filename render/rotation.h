#pragma once

#include <cstddef>
#include <cstdint>

#include "knob_params.h"
#include "pixel_grid.h"

namespace Render {

// Degrees to radians as the knob has always turned: 3.14159297 / 180, a hair
// more than pi / 180. Strips made before must come out the same.
inline constexpr double kDegToRad = 0.017453294277777778;

namespace AppModul {

// The box of destination pixels a frame visits, inclusive and 1-based:
// centre -/+ radius rounded half to even, clipped to the picture. Empty
// (first > last) for a negative radius.
struct FrameBox {
    int32_t x0 = 1, x1 = 0, y0 = 1, y1 = 0;
    bool operator==(const FrameBox&) const = default;
};
FrameBox VisitedBox(float RotRadius, int32_t PicW, int32_t PicH);

// Which loop computes the turned pixels: the fastest this processor runs,
// the eight-lane one (AVX2) even where a wider one runs, or the plain scalar
// one. Where a loop cannot run, the next narrower one does. All give the
// same bytes.
enum class Kernel { Best, EightLanes, Scalar };

// Where some rows of a frame go, and in which layout.
struct FrameRows {
    int32_t first = 0;  // first frame row to build, 0-based
    int32_t count = 0;  // rows to build
    // Row `first` of the frame; rows bytesPerLine apart (negative: upwards in
    // memory, as in a bottom-up file). The caller owns the memory.
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
    // False: a four-byte pixel's fourth byte is copied from the same place
    // in the picture, never computed.
    // True (four-byte pixels only): the fourth byte is the picture's opacity
    // (straight, not premultiplied; 0 clear, 255 opaque) and turns with the
    // frame, for strips that keep it. The same pixels are turned, from the
    // same positions; pixels that are not turned keep all four bytes. A
    // turned pixel of the bilinear routine:
    // - opacity: the opaque blend applied to the four opacities (same
    //   weights, same two roundings);
    // - colour: where the four opacities are equal (an opaque area, say), the
    //   opaque blend; otherwise the four colours weighted by weight times
    //   opacity, divided by the sum of those weights, rounded half to even,
    //   so that a clear pixel's colour counts for nothing. Where every
    //   weighted opacity is 0 the opaque blend stands.
    // The nearest routine copies all four bytes of the chosen pixel.
    bool opacity = false;
};

// Builds rows rows.first .. rows.first + rows.count - 1 of frame i (1-based)
// from SrcBits, byte for byte as the whole frame has them: the disc of
// RotRadius pixels around the picture's centre turned by (i - 1) x RotAngle
// degrees clockwise on screen (plus StartAngle when it is set: the angle in
// radians is (i - 1) x RotAngle, then StartAngle, each times kDegToRad,
// added in double), everything else copied. Nothing outside those rows'
// pixels is written (padding neither). The centre is (W + 1) / 2,
// (H + 1) / 2 in 1-based pixel coordinates; no one outside the routine needs
// it, so it is not handed out. The bilinear routine blends the four source
// pixels around a turned position; the nearest one takes the closest.
void RotateFrameBilinear(int32_t i, const Engine::KnobParams& params,
                         const Engine::PixelGrid& SrcBits, const FrameRows& rows,
                         Kernel kernel = Kernel::Best);
void RotateFrameNearest(int32_t i, const Engine::KnobParams& params,
                        const Engine::PixelGrid& SrcBits, const FrameRows& rows,
                        Kernel kernel = Kernel::Best);

// The sharp routine, for the same rows in the same layouts. Frame i turns by
// (i - 1) x RotAngle + StartAngle degrees, taken in degrees so that a
// multiple of 90 turns exactly: there every turned pixel is a source pixel
// moved, all four bytes. A turned pixel is Keys' cubic (a = -1) over the
// 4 x 4 source pixels around its position (the picture's edge pixels
// repeated beyond it), in premultiplied colour: each colour weighted by
// weight times opacity, so a clear pixel's colour counts for nothing. The
// sums are clamped to the range of the four nearest pixels (no ringing; a
// constant picture stays constant). A pixel whose opacity comes out 0 keeps
// the plain cubic of the colours. Without FrameRows::opacity every opacity
// counts as 255 (a three-byte or opaque strip), and the fourth byte is
// copied as in the other routines.
// The disc's edge is not cut but blended over a pixel: a pixel whose centre
// lies d from the centre is turned by the share min(1, max(0, R + 0.5 - d)),
// the rest its still pixel, in premultiplied colour too; so is a position
// that leaves the picture, faded out over the half pixel on either side of
// its edge. Pixels whose share is 0 are copied.
void RotateFrameSharp(int32_t i, const Engine::KnobParams& params, const Engine::PixelGrid& SrcBits,
                      const FrameRows& rows, Kernel kernel = Kernel::Best);

}  // namespace AppModul

}  // namespace Render
