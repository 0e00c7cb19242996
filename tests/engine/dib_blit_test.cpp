#include "dib_blit.h"

#include <gtest/gtest.h>

#include <vector>

#include "fixtures.h"
#include "test_surface.h"

using namespace Engine;

namespace {

BitmapInfoHeader headerOf(const PixelGrid& g) {
    BitmapInfoHeader h;
    Engine::SetDibHeader(g, h);
    return h;
}

TEST(StretchDIBits, SourceYCountsFromTheBottomOfATopDownBlock) {
    // A vertical strip of three 4 x 2 frames; frame n sits at y = (3 - n) x 2.
    const PixelGrid strip = fixtures::Picture(4, 6);
    const auto info = headerOf(strip);
    for (int32_t n = 1; n <= 3; ++n) {
        TestSurface s(4, 2);
        StretchDIBits(s.view, 0, 0, 4, 2, 0, (3 - n) * 2, 4, 2, strip.data(), info);
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 4; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(s.view.pixel(x, y)[c], strip(c + 1, x + 1, (n - 1) * 2 + y + 1))
                        << "frame " << n;
    }
}

TEST(StretchDIBits, MagnifiesEachPixelIntoABlock) {
    const PixelGrid frame = fixtures::Picture(3, 2);
    TestSurface s(9, 6);
    StretchDIBits(s.view, 0, 0, 9, 6, 0, 0, 3, 2, frame.data(), headerOf(frame));
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            ASSERT_EQ(s.view.pixel(x, y)[2], frame(3, x / 3 + 1, y / 3 + 1));
            ASSERT_EQ(s.view.pixel(x, y)[3], 255);
        }
}

TEST(StretchDIBits, NeverReadsOrWritesOutside) {
    const PixelGrid frame = fixtures::Picture(4, 4);
    TestSurface s(6, 6);
    // Source rectangle partly below and beyond the block, destination partly
    // off the surface: only the overlapping pixels are drawn.
    EXPECT_GT(StretchDIBits(s.view, -2, 3, 8, 8, 2, -2, 4, 4, frame.data(), headerOf(frame)), 0);
    EXPECT_EQ(StretchDIBits(s.view, 0, 0, 4, 4, 0, 100, 4, 4, frame.data(), headerOf(frame)), 0);
    EXPECT_EQ(StretchDIBits(s.view, 0, 0, 4, 4, 0, 0, 4, 4, frame.data(), BitmapInfoHeader{}), 0)
        << "an empty header describes no picture";
    EXPECT_FALSE(SourceRectInside(headerOf(frame), 0, 1, 4, 4));
    EXPECT_TRUE(SourceRectInside(headerOf(frame), 0, 0, 4, 4));
}

}  // namespace
