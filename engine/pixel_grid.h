#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Engine {

// A picture as the pixel block of a 32-bit top-down bitmap: W x H pixels of
// four bytes (blue, green, red, fourth byte), rows top to bottom, no padding.
// Access is 1-based: channel 1..4, column 1..W, row 1..H.
class PixelGrid {
public:
    PixelGrid() = default;

    // Reallocates the grid whole at W x H pixels; every byte becomes zero.
    // Sizes below 1, or memory that cannot be had, give an empty grid (0 x 0).
    void allocate(int32_t width, int32_t height);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    std::size_t byteCount() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }

    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }

    // Byte offset of (channel, column, row), all 1-based.
    std::size_t offset(int c, int32_t x, int32_t y) const {
        return (static_cast<std::size_t>(y - 1) * static_cast<std::size_t>(width_) +
                static_cast<std::size_t>(x - 1)) *
                   4 +
               static_cast<std::size_t>(c - 1);
    }
    uint8_t& operator()(int c, int32_t x, int32_t y) { return bytes_[offset(c, x, y)]; }
    uint8_t operator()(int c, int32_t x, int32_t y) const { return bytes_[offset(c, x, y)]; }

    bool operator==(const PixelGrid&) const = default;

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint8_t> bytes_;
};

// The 40-byte BITMAPINFOHEADER that describes a grid to the drawing layer.
struct BitmapInfoHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;

    bool operator==(const BitmapInfoHeader&) const = default;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

inline constexpr uint32_t kBiRgb = 0;

// Fills every field of the header for the grid: 32 bits per pixel,
// uncompressed, top-down (negative height).
void SetDibHeader(const PixelGrid& grid, BitmapInfoHeader& header);

}  // namespace Engine
