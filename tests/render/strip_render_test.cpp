#include "strip_render.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "fixtures.h"
#include "rotation.h"
#include "test_surface.h"
#include "turned_frame.h"

using namespace Engine;
using namespace Render;

namespace {

TEST(RenderStrip, EachFrameAtItsPlace) {
    const PixelGrid src = fixtures::Picture(45, 45);
    const KnobParams p{28, 18.0f, 10.0f};
    for (const Routine routine : {Routine::Bilinear, Routine::Nearest}) {
        TestSurface h(1260, 45, 0x5A), v(45, 1260, 0x5A);
        RenderStrip(StripLayout::Horizontal(), p, routine, src, h.view);
        RenderStrip(StripLayout::Vertical(), p, routine, src, v.view);
        for (int32_t i : {1, 2, 14, 28}) {
            const PixelGrid frame = fixtures::Frame(routine, i, p, src);
            EXPECT_TRUE(h.rgbEquals((i - 1) * 45, 0, frame)) << "horizontal frame " << i;
            EXPECT_TRUE(v.rgbEquals(0, (i - 1) * 45, frame)) << "vertical frame " << i;
        }
        EXPECT_TRUE(h.rgbEquals(1215, 0, fixtures::Frame(routine, 28, p, src)));
        EXPECT_EQ(h.view.pixel(100, 20)[3], 255) << "the surface stays opaque";
    }
}

TEST(RenderStrip, ThreadsMakeTheSameStrip) {
    const PixelGrid src = fixtures::Picture(37, 41, 3);
    const KnobParams p{300, 15.5f, -7.25f};
    TestSurface one(37, 41 * 300, 0x5A), many(37, 41 * 300, 0x5A);
    RenderStrip(StripLayout::Vertical(), p, Routine::Bilinear, src, one.view, 1);
    RenderStrip(StripLayout::Vertical(), p, Routine::Bilinear, src, many.view, 5);
    EXPECT_EQ(one.bytes, many.bytes);
}

TEST(RenderStrip, NoFramesDrawsNothingAndSmallSurfacesClip) {
    const PixelGrid src = fixtures::Picture(45, 45);
    TestSurface s(100, 45, 0x5A);
    const auto before = s.bytes;
    RenderStrip(StripLayout::Horizontal(), {0, 18.0f, 10.0f}, Routine::Bilinear, src, s.view);
    EXPECT_EQ(s.bytes, before);
    // 28 frames into a surface that holds two and a bit: no write beyond it.
    RenderStrip(StripLayout::Horizontal(), {28, 18.0f, 10.0f}, Routine::Bilinear, src, s.view);
    EXPECT_TRUE(s.rgbEquals(45, 0, fixtures::Frame(true, 2, {28, 18.0f, 10.0f}, src)));
    // A frame count far beyond the surface ends at once.
    RenderStrip(StripLayout::Vertical(), {INT32_MAX, 18.0f, 10.0f}, Routine::Nearest, src, s.view);
}

TEST(RenderStrip, OneFrameIsTheSourceItself) {
    const PixelGrid src = fixtures::Picture(45, 45);
    TestSurface s(45, 45, 0x5A);
    RenderStrip(StripLayout::Horizontal(), {1, 18.0f, 10.0f}, Routine::Bilinear, src, s.view);
    EXPECT_TRUE(s.rgbEquals(0, 0, src));
}

}  // namespace
