#include "pixel_grid.h"

#include <new>

namespace Engine {

void PixelGrid::allocate(int32_t width, int32_t height) {
    if (width < 1 || height < 1) {
        width = 0;
        height = 0;
    }
    bytes_.clear();
    bytes_.shrink_to_fit();
    try {
        // assign() rather than resize(): the new bytes must all be zero, not
        // the old picture's.
        bytes_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    } catch (const std::bad_alloc&) {
        width = 0;
        height = 0;
    }
    width_ = width;
    height_ = height;
}

void SetDibHeader(const PixelGrid& grid, BitmapInfoHeader& header) {
    header.biSize = 40;
    header.biWidth = grid.width();
    header.biHeight = -grid.height();
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = kBiRgb;
    header.biSizeImage = static_cast<uint32_t>(static_cast<uint64_t>(grid.height()) *
                                               static_cast<uint64_t>(grid.width()) * 4);
    header.biXPelsPerMeter = 0;
    header.biYPelsPerMeter = 0;
    header.biClrUsed = 0;
    header.biClrImportant = 0;
}

}  // namespace Engine
