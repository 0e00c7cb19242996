#include "dib_blit.h"

#include <algorithm>
#include <cstring>

namespace Engine {

namespace {

bool drawable(const BitmapInfoHeader& info, const uint8_t* bits) {
    return bits != nullptr && info.biBitCount == 32 && info.biCompression == kBiRgb &&
           info.biWidth > 0 && info.biHeight != 0 && info.biHeight != INT32_MIN;
}

// Row of the block, counted from the top, for a row counted from the top of
// the picture; bottom-up blocks keep their last row first in memory.
const uint8_t* blockRow(const uint8_t* bits, const BitmapInfoHeader& info, int64_t rowFromTop) {
    const int64_t height = info.biHeight < 0 ? -int64_t{info.biHeight} : info.biHeight;
    const int64_t memoryRow = info.biHeight < 0 ? rowFromTop : height - 1 - rowFromTop;
    return bits + memoryRow * int64_t{info.biWidth} * 4;
}

}  // namespace

bool SourceRectInside(const BitmapInfoHeader& info, int32_t xSrc, int32_t ySrc, int32_t wSrc,
                      int32_t hSrc) {
    if (info.biWidth <= 0 || info.biHeight == 0 || wSrc <= 0 || hSrc <= 0) return false;
    const int64_t height = info.biHeight < 0 ? -int64_t{info.biHeight} : info.biHeight;
    const int64_t top = height - int64_t{ySrc} - hSrc;
    return xSrc >= 0 && int64_t{xSrc} + wSrc <= info.biWidth && top >= 0 && top + hSrc <= height;
}

int StretchDIBits(const ImageView& surface, int32_t xDest, int32_t yDest, int32_t wDest,
                  int32_t hDest, int32_t xSrc, int32_t ySrc, int32_t wSrc, int32_t hSrc,
                  const uint8_t* bits, const BitmapInfoHeader& info) {
    if (!drawable(info, bits) || surface.bits == nullptr) return 0;
    if (wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0) return 0;
    const int64_t blockW = info.biWidth;
    const int64_t blockH = info.biHeight < 0 ? -int64_t{info.biHeight} : info.biHeight;
    const int64_t srcTop = blockH - int64_t{ySrc} - hSrc;

    const int64_t dyFirst = std::max<int64_t>(0, -int64_t{yDest});
    const int64_t dyEnd = std::min<int64_t>(hDest, int64_t{surface.height} - yDest);
    const int64_t dxFirst = std::max<int64_t>(0, -int64_t{xDest});
    const int64_t dxEnd = std::min<int64_t>(wDest, int64_t{surface.width} - xDest);
    const bool sameSize = wDest == wSrc && hDest == hSrc;
    int rows = 0;
    for (int64_t dy = dyFirst; dy < dyEnd; ++dy) {
        const int64_t sy = srcTop + (sameSize ? dy : dy * hSrc / hDest);
        if (sy < 0 || sy >= blockH) continue;
        const uint8_t* srcRow = blockRow(bits, info, sy);
        auto* dst =
            surface.pixel(static_cast<int32_t>(xDest + dxFirst), static_cast<int32_t>(yDest + dy));
        bool touched = false;
        for (int64_t dx = dxFirst; dx < dxEnd; ++dx, dst += 4) {
            const int64_t sx = int64_t{xSrc} + (sameSize ? dx : dx * wSrc / wDest);
            if (sx < 0 || sx >= blockW) continue;
            std::memcpy(dst, srcRow + sx * 4, 3);
            dst[3] = 255;
            touched = true;
        }
        rows += touched ? 1 : 0;
    }
    return rows;
}

}  // namespace Engine
