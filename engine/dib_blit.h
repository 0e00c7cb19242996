#pragma once

#include <cstddef>
#include <cstdint>

#include "pixel_grid.h"

namespace Engine {

// A drawing surface of 32-bit pixels (blue, green, red, fourth byte), rows top
// to bottom, bytesPerLine apart. The memory belongs to whoever made the view.
struct ImageView {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    std::ptrdiff_t bytesPerLine = 0;

    uint8_t* pixel(int32_t x, int32_t y) const {
        return bits + static_cast<std::ptrdiff_t>(y) * bytesPerLine +
               static_cast<std::ptrdiff_t>(x) * 4;
    }
};

// Draws a rectangle of a 32-bit device-independent pixel block into the
// surface, stretched to the destination rectangle, as the graphics interface's
// StretchDIBits does with SRCCOPY:
// - destination rectangle in surface pixels from the top-left corner;
// - source rectangle in pixels of the block, its y measured from the bottom
//   edge of the picture (for a top-down block too), so a rectangle of height h
//   at y covers the rows H - y - h .. H - y - 1 counted from the top;
// - every destination pixel takes the source pixel it maps to (a whole
//   magnification gives blocks of equal pixels); the surface's fourth byte
//   becomes 255, since the surface has no alpha;
// - pixels that fall outside the surface, or whose source lies outside the
//   block, are left alone: nothing is read or written outside.
// Only uncompressed 32-bit blocks and positive sizes are drawn. Returns the
// number of destination rows touched (0 when nothing was drawn).
int StretchDIBits(const ImageView& surface, int32_t xDest, int32_t yDest, int32_t wDest,
                  int32_t hDest, int32_t xSrc, int32_t ySrc, int32_t wSrc, int32_t hSrc,
                  const uint8_t* bits, const BitmapInfoHeader& info);

// Whether the source rectangle (y from the bottom, as above) lies wholly
// inside the block that the header describes.
bool SourceRectInside(const BitmapInfoHeader& info, int32_t xSrc, int32_t ySrc, int32_t wSrc,
                      int32_t hSrc);

}  // namespace Engine
