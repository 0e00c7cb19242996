#include <gtest/gtest.h>

#include <tuple>

#include "fixtures.h"
#include "reference_alpha.h"
#include "reference_rotation.h"
#include "rotation.h"
#include "rotation_blend.h"
#include "turned_frame.h"

using namespace Engine;
using namespace Render;

namespace {

// Frames whose fourth byte is opacity that turns with them.
constexpr fixtures::FrameOptions kOpacity{.opacity = true};

// A knob on a see-through ground: opacity from the fixture's fourth byte,
// with a clear ring (opacity 0) and a solid core (255).
PixelGrid knob(int32_t w, int32_t h) {
    PixelGrid g = fixtures::Picture(w, h, 3);
    for (int32_t y = 1; y <= h; ++y)
        for (int32_t x = 1; x <= w; ++x) {
            const double d = std::hypot(x - (w + 1) / 2.0, y - (h + 1) / 2.0);
            if (d > w / 2.5) g(4, x, y) = 0;
            if (d < w / 5.0) g(4, x, y) = 255;
        }
    return g;
}

TEST(RotateFrameAlpha, FirstFrameIsTheInputAndTheOutsideIsCopied) {
    const PixelGrid src = knob(45, 45);
    for (bool bilinear : {true, false}) {
        EXPECT_EQ(fixtures::Frame(bilinear, 1, {28, 30.0f, 10.0f}, src, kOpacity), src) << bilinear;
        EXPECT_EQ(fixtures::Frame(bilinear, 9, {28, 30.0f, 0.0f}, src, kOpacity), src) << bilinear;
        const PixelGrid frame = fixtures::Frame(bilinear, 4, {28, 18.0f, 37.0f}, src, kOpacity);
        for (auto [x, y] : {std::pair{1, 1}, {45, 1}, {1, 45}, {45, 45}, {4, 23}})
            for (int c = 1; c <= 4; ++c)
                EXPECT_EQ(frame(c, x, y), src(c, x, y)) << bilinear << " " << x << "," << y;
    }
}

// The opacity turns exactly as a colour channel of the opaque routine.
TEST(RotateFrameAlpha, OpacityIsTheOpaqueTurnOfTheOpacities) {
    const PixelGrid src = knob(45, 44);
    PixelGrid opacities;
    opacities.allocate(45, 44);
    for (int32_t y = 1; y <= 44; ++y)
        for (int32_t x = 1; x <= 45; ++x) opacities(2, x, y) = src(4, x, y);
    for (bool bilinear : {true, false})
        for (const KnobParams& p : {KnobParams{9, 21.0f, 33.3f}, KnobParams{9, 30.0f, -90.0f}}) {
            const PixelGrid frame = fixtures::Frame(bilinear, 3, p, src, kOpacity);
            const PixelGrid expected = fixtures::Frame(bilinear, 3, p, opacities);
            for (int32_t y = 1; y <= 44; ++y)
                for (int32_t x = 1; x <= 45; ++x)
                    ASSERT_EQ(frame(4, x, y), expected(2, x, y)) << x << "," << y;
        }
}

// Clear pixels hide pure red; the visible ones are blue. No turned pixel that
// shows anything may carry red, and its blue must stay whole.
TEST(RotateFrameAlpha, ColourOfClearPixelsDoesNotBleed) {
    PixelGrid src;
    src.allocate(31, 31);
    for (int32_t y = 1; y <= 31; ++y)
        for (int32_t x = 1; x <= 31; ++x) {
            const bool clear = (x / 3 + y / 2) % 3 == 0;
            src(1, x, y) = clear ? 0 : 200;
            src(3, x, y) = clear ? 255 : 0;
            src(4, x, y) = clear ? 0 : static_cast<uint8_t>(60 + x * 6);
        }
    for (int32_t i = 2; i <= 6; ++i) {
        const PixelGrid frame = fixtures::Frame(true, i, {6, 16.0f, 17.0f}, src, kOpacity);
        for (int32_t y = 1; y <= 31; ++y)
            for (int32_t x = 1; x <= 31; ++x) {
                if (frame(4, x, y) == 0) continue;
                ASSERT_EQ(frame(3, x, y), 0) << "frame " << i << " at " << x << "," << y;
                ASSERT_EQ(frame(1, x, y), 200) << "frame " << i << " at " << x << "," << y;
            }
    }
}

// Where opacity is even (wholly opaque, or evenly half clear) the colours are
// the opaque routine's, byte for byte.
TEST(RotateFrameAlpha, EvenOpacityGivesTheOpaqueColours) {
    for (uint8_t opacity : {uint8_t{255}, uint8_t{128}}) {
        PixelGrid src = fixtures::Picture(40, 40, 5);
        for (int32_t y = 1; y <= 40; ++y)
            for (int32_t x = 1; x <= 40; ++x) src(4, x, y) = opacity;
        for (bool bilinear : {true, false}) {
            const KnobParams p{5, 19.5f, 23.0f};
            PixelGrid expected = fixtures::Frame(bilinear, 4, p, src);
            EXPECT_EQ(fixtures::Frame(bilinear, 4, p, src, kOpacity), expected)
                << int{opacity} << " " << bilinear;
        }
    }
}

// Held to a plain rendering with exact whole-number quotients, over sizes,
// radii, angles and start turns.
class AlphaMatchesPlainRendering
    : public ::testing::TestWithParam<std::tuple<std::pair<int, int>, float, float>> {};

TEST_P(AlphaMatchesPlainRendering, ByteForByte) {
    const auto [size, radius, angle] = GetParam();
    const PixelGrid src = knob(size.first, size.second);
    for (bool bilinear : {true, false})
        for (float start : {0.0f, -135.0f})
            for (int32_t i : {1, 2, 7, 40}) {
                const KnobParams p{40, radius, angle, start};
                PixelGrid plain;
                reference::RotateFrameAlpha(bilinear, i, p, src, plain);
                for (auto kernel : {AppModul::Kernel::Best, AppModul::Kernel::EightLanes,
                                    AppModul::Kernel::Scalar})
                    ASSERT_EQ(
                        fixtures::Frame(bilinear, i, p, src, {.opacity = true, .kernel = kernel}),
                        plain)
                        << bilinear << " start " << start << " frame " << i << " loop "
                        << static_cast<int>(kernel);
            }
}

INSTANTIATE_TEST_SUITE_P(Cases, AlphaMatchesPlainRendering,
                         ::testing::Combine(::testing::Values(std::pair{3, 5}, std::pair{44, 44},
                                                              std::pair{45, 45}, std::pair{64, 17}),
                                            ::testing::Values(1.0f, 17.5f, 22.5f, 60.0f),
                                            ::testing::Values(10.0f, -33.3f, 2.1259842f)));

// The weighted colour's division: halves to the even neighbour, also for the
// largest numerators, whose double quotient is off by a hair.
TEST(RotateFrameAlpha, WeightedColourRoundsHalfToEven) {
    const int64_t big = (int64_t{255} << 44) - 7;  // near the largest weighted opacity sum
    const struct {
        int64_t numerator, denominator;
        uint32_t expected;
    } cases[] = {{5, 2, 2},
                 {7, 2, 4},
                 {3, 2, 2},
                 {4, 3, 1},
                 {5, 3, 2},
                 {254 * 2 + 1, 2, 254},
                 {253 * 2 + 1, 2, 254},
                 {big * 200, big, 200},
                 {big * 200 + big / 2, big, 200},
                 {big * 201 + big / 2 + 1, big, 202},
                 {big * 255 - 1, big, 255},
                 {(big + 1) * 200 + (big + 1) / 2, big + 1, 200},
                 {(big + 1) * 201 + (big + 1) / 2, big + 1, 202}};
    for (const auto& c : cases)
        EXPECT_EQ(AppModul::divideRounded(c.numerator, c.denominator,
                                          1.0 / static_cast<double>(c.denominator)),
                  c.expected)
            << c.numerator << " / " << c.denominator;
}

// Frame 1's turn: --start 20 gives what frame 3 of a 10-degree step gives,
// and a start turn without a step turns every frame alike.
TEST(StartAngle, FrameOneTakesTheStartTurn) {
    const PixelGrid src = fixtures::Picture(45, 45);
    for (bool bilinear : {true, false}) {
        EXPECT_EQ(fixtures::Frame(bilinear, 1, {28, 20.0f, 7.0f, 20.0f}, src),
                  fixtures::Frame(bilinear, 3, {28, 20.0f, 10.0f}, src));
        EXPECT_EQ(fixtures::Frame(bilinear, 1, {28, 20.0f, 7.0f, 20.0f}, src, kOpacity),
                  fixtures::Frame(bilinear, 3, {28, 20.0f, 10.0f}, src, kOpacity));
        EXPECT_EQ(fixtures::Frame(bilinear, 5, {28, 20.0f, 0.0f, 30.0f}, src),
                  fixtures::Frame(bilinear, 2, {28, 20.0f, 30.0f}, src));
        PixelGrid plain;
        reference::RotateFrame(bilinear, 6, {28, 20.0f, 2.5f, -135.0f}, src, plain);
        EXPECT_EQ(fixtures::Frame(bilinear, 6, {28, 20.0f, 2.5f, -135.0f}, src), plain);
    }
}

}  // namespace
