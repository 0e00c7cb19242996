#pragma once

// Small test pictures with no rotational symmetry: every pixel differs from
// its neighbours and each corner has its own colour, so a turned, mirrored
// or shifted result cannot pass for the right one.

#include <cstddef>
#include <cstdint>

#include "pixel_grid.h"

namespace fixtures {

inline uint8_t hashByte(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352dU;
    v ^= v >> 15;
    v *= 0x846ca68bU;
    v ^= v >> 16;
    return static_cast<uint8_t>(v);
}

// W x H picture: channel 4 carries its own pattern so that tests see it kept.
inline Engine::PixelGrid Picture(int32_t w, int32_t h, uint32_t seed = 1) {
    Engine::PixelGrid g;
    g.allocate(w, h);
    for (int32_t y = 1; y <= h; ++y)
        for (int32_t x = 1; x <= w; ++x)
            for (int c = 1; c <= 4; ++c)
                g(c, x, y) =
                    hashByte(seed * 2654435761U + static_cast<uint32_t>(((y * 131 + x) * 5 + c)));
    // Distinct corner colours: red, green, blue, white.
    auto paint = [&](int32_t x, int32_t y, uint8_t b, uint8_t gr, uint8_t r) {
        g(1, x, y) = b;
        g(2, x, y) = gr;
        g(3, x, y) = r;
    };
    paint(1, 1, 0, 0, 255);
    paint(w, 1, 0, 255, 0);
    paint(1, h, 255, 0, 0);
    paint(w, h, 255, 255, 255);
    return g;
}

}  // namespace fixtures
