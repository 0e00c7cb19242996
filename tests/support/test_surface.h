#pragma once

// A drawing surface in plain memory for tests and benchmarks: W x H pixels of
// four bytes, every byte set to `fill`.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dib_blit.h"
#include "pixel_grid.h"

struct TestSurface {
    std::vector<uint8_t> bytes;
    Engine::ImageView view;

    TestSurface(int32_t w, int32_t h, uint8_t fill = 0)
        : bytes(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, fill),
          view{bytes.data(), w, h, static_cast<std::ptrdiff_t>(w) * 4} {}

    // Whether the frame's blue, green and red stand at (left, top).
    bool rgbEquals(int32_t left, int32_t top, const Engine::PixelGrid& frame) const {
        for (int32_t y = 1; y <= frame.height(); ++y)
            for (int32_t x = 1; x <= frame.width(); ++x)
                for (int c = 1; c <= 3; ++c)
                    if (view.pixel(left + x - 1, top + y - 1)[c - 1] != frame(c, x, y))
                        return false;
        return true;
    }
};
