// Stacks of layers: still, turning, sliding and fading layers and a value
// arc, composed in premultiplied colour, checked frame by frame against what
// each motion means.
#include "stack_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "fixtures.h"
#include "strip_compositor.h"

using namespace Engine;
using namespace Render;

namespace {

constexpr uint32_t kGrey = 0xFFC0C0C0u;

// A layer of one colour (straight, its opacity a) in a w x h picture.
PixelGrid filled(int32_t w, int32_t h, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    PixelGrid grid;
    grid.allocate(w, h);
    for (int32_t y = 1; y <= h; ++y)
        for (int32_t x = 1; x <= w; ++x) {
            grid(1, x, y) = b;
            grid(2, x, y) = g;
            grid(3, x, y) = r;
            grid(4, x, y) = a;
        }
    return grid;
}

// Frame i of the stack, blue, green, red, opacity, a w x h grid.
PixelGrid frameOf(StackFrames& stack, int32_t i, bool opacity = true) {
    PixelGrid frame;
    frame.allocate(stack.frameWidth(), stack.frameHeight());
    EXPECT_TRUE(stack.prepare(4, opacity));
    stack.build(i, {0, stack.frameHeight(), frame.data(), std::ptrdiff_t{frame.width()} * 4});
    return frame;
}

// Where nothing moves over it, a still layer is the same in every frame; a
// turning layer turns whole, about its centre, and lands exactly at a
// quarter turn.
TEST(StackFrames, StillLayersStayAndTurningLayersTurnWhole) {
    const PixelGrid back = filled(40, 40, 10, 20, 30, 255);
    // A pointer made wholly opaque, so that a quarter turn moves every
    // colour exactly.
    PixelGrid pointer = fixtures::Picture(10, 20, 3);
    for (int32_t y = 1; y <= 20; ++y)
        for (int32_t x = 1; x <= 10; ++x) pointer(4, x, y) = 255;
    KnobParams turn;
    turn.FrameCount = 5;
    turn.StartAngle = 0.0f;
    turn.RotAngle = 90.0f;
    std::vector<StackLayer> layers(2);
    layers[0].pixels = &back;
    layers[1].pixels = &pointer;
    layers[1].motion = LayerMotion::Turn;
    layers[1].x = 15;
    layers[1].y = 10;
    layers[1].pivotX = 5;
    layers[1].pivotY = 10;
    layers[1].turn = turn;
    StackFrames stack(40, 40, 5, layers, Routine::Bilinear, kGrey);
    const PixelGrid first = frameOf(stack, 1);
    const PixelGrid quarter = frameOf(stack, 2);
    for (int32_t y = 1; y <= 20; ++y)
        for (int32_t x = 1; x <= 10; ++x)
            for (int c = 1; c <= 3; ++c) {
                ASSERT_EQ(first(c, 15 + x, 10 + y), pointer(c, x, y));
                // A quarter turn clockwise about the pivot, canvas (20, 20):
                // the layer's pixel (x, y) lands on the canvas's (31 - y,
                // 15 + x), pixel for pixel.
                ASSERT_EQ(quarter(c, 31 - y, 15 + x), pointer(c, x, y)) << x << "," << y;
            }
    for (int32_t i = 1; i <= 5; ++i) {
        const PixelGrid frame = frameOf(stack, i);
        for (const auto& [x, y] : {std::pair{1, 1}, {40, 40}, {1, 40}, {3, 20}})
            for (int c = 1; c <= 4; ++c) ASSERT_EQ(frame(c, x, y), back(c, x, y)) << i;
    }
}

// A slide moves the layer's centre linearly with the value, between pixels
// too, without losing any of it; a fade scales its opacity linearly.
TEST(StackFrames, SlidesMoveLinearlyAndFadesScaleOpacity) {
    const PixelGrid cap = filled(6, 4, 200, 100, 50, 255);
    std::vector<StackLayer> layers(1);
    layers[0].pixels = &cap;
    layers[0].motion = LayerMotion::Slide;
    layers[0].x = 3;
    layers[0].y = 50;
    layers[0].toX = 3;
    layers[0].toY = 2.5;
    StackFrames slider(12, 60, 9, layers, Routine::Bilinear, kGrey);
    for (int32_t i = 1; i <= 9; ++i) {
        const PixelGrid frame = frameOf(slider, i);
        double mass = 0.0, y = 0.0;
        for (int32_t row = 1; row <= 60; ++row)
            for (int32_t x = 1; x <= 12; ++x) {
                mass += frame(4, x, row);
                y += frame(4, x, row) * (row - 0.5);
            }
        const double v = (i - 1) / 8.0;
        EXPECT_NEAR(mass, 6 * 4 * 255.0, 6 * 4 * 0.5) << "nothing of it is lost, frame " << i;
        EXPECT_NEAR(y / mass, 50 + v * (2.5 - 50) + 2.0, 0.02) << "frame " << i;
    }
    layers[0].motion = LayerMotion::Fade;
    layers[0].fadeFrom = 0.2;
    layers[0].fadeTo = 1.0;
    StackFrames lamp(12, 60, 5, layers, Routine::Bilinear, kGrey);
    for (int32_t i = 1; i <= 5; ++i) {
        const double alpha = 0.2 + 0.8 * (i - 1) / 4.0;
        const PixelGrid frame = frameOf(lamp, i);
        EXPECT_NEAR(frame(4, 5, 52), 255.0 * alpha, 0.5) << i;
        EXPECT_EQ(frame(3, 5, 52), 50) << "its colour stays, straight";
        // Laid on grey where the strip is opaque.
        const PixelGrid onGrey = frameOf(lamp, i, false);
        EXPECT_NEAR(onGrey(3, 5, 52), 50 * alpha + 192 * (1 - alpha), 0.5) << i;
    }
}

// Layers lie over each other in premultiplied colour: a half-clear layer
// over an opaque one gives the blend of the two, and a clear pixel's colour
// counts for nothing.
TEST(StackFrames, LayersComposeInPremultipliedColour) {
    const PixelGrid red = filled(8, 8, 0, 0, 255, 255);
    PixelGrid half = filled(8, 8, 255, 0, 0, 128);
    half(1, 1, 1) = 0;  // a clear pixel with a colour of its own
    half(2, 1, 1) = 255;
    half(4, 1, 1) = 0;
    std::vector<StackLayer> layers(2);
    layers[0].pixels = &red;
    layers[1].pixels = &half;
    StackFrames stack(8, 8, 1, layers, Routine::Bilinear, kGrey);
    const PixelGrid frame = frameOf(stack, 1);
    EXPECT_EQ(frame(4, 4, 4), 255);
    EXPECT_NEAR(frame(1, 4, 4), 128, 1);
    EXPECT_NEAR(frame(3, 4, 4), 127, 1);
    EXPECT_EQ(frame(2, 1, 1), 0) << "the clear pixel's green does not show";
    EXPECT_EQ(frame(3, 1, 1), 255);
}

// The arc covers the ring from its start to the value's angle, and no more;
// from the middle it grows either way.
TEST(StackFrames, TheArcReachesTheValuesAngle) {
    ValueArc arc;
    arc.style.colour = 0xFFFF8800u;
    arc.style.width = 4.0;
    arc.style.radius = 40.0;
    arc.centreX = arc.centreY = 50.0;
    arc.start = -135.0;
    arc.end = 135.0;
    std::vector<StackLayer> layers(1);
    layers[0].arc = arc;
    StackFrames knob(100, 100, 11, layers, Routine::Bilinear, kGrey);
    // The ring's pixel at an angle (degrees clockwise from 12 o'clock).
    const auto onRing = [](const PixelGrid& frame, double angle) {
        const double a = angle * 3.14159265358979 / 180.0;
        const auto x = static_cast<int32_t>(std::floor(50 + 40 * std::sin(a))) + 1;
        const auto y = static_cast<int32_t>(std::floor(50 - 40 * std::cos(a))) + 1;
        return frame(4, x, y);
    };
    for (int32_t i = 1; i <= 11; ++i) {
        const PixelGrid frame = frameOf(knob, i);
        const double value = -135.0 + 27.0 * (i - 1);
        for (double angle = -130.0; angle <= 130.0; angle += 10.0) {
            if (std::abs(angle - value) < 5.0) continue;  // the soft end
            EXPECT_EQ(onRing(frame, angle) > 128, angle < value)
                << "frame " << i << " at " << angle << " degrees";
        }
    }
    layers[0].arc->style.fromMiddle = true;
    StackFrames pan(100, 100, 11, layers, Routine::Bilinear, kGrey);
    const PixelGrid left = frameOf(pan, 3);  // value 0.2: -81 degrees
    EXPECT_GT(onRing(left, -40.0), 128);
    EXPECT_EQ(onRing(left, 40.0), 0);
    EXPECT_EQ(onRing(frameOf(pan, 6), 20.0), 0) << "at the middle nothing shows";
}

// Every pixel of an arc is as much covered as its definition says, within a
// step of a byte: across the ring a pixel's width of smooth edge, inside the
// span the whole ring, beyond a round end the distance to the end's point,
// and a flat end cut square. Most pixels are settled by cheap arithmetic;
// thin and wide rings, rings too large for the canvas, spans over a whole
// turn and backwards, and both ends show where that would go wrong.
TEST(StackFrames, EveryPixelOfTheArcIsCoveredAsItsRingSays) {
    constexpr double kPi = 3.14159265358979323846;
    struct Case {
        double width, radius, start, end;
        bool round, middle;
    };
    const Case cases[] = {
        {4.0, 20.0, -135.0, 135.0, true, false}, {4.0, 20.0, -135.0, 135.0, false, true},
        {0.5, 12.0, -135.0, 135.0, true, false}, {0.5, 12.0, -90.0, 200.0, false, false},
        {1.0, 1.5, -135.0, 135.0, true, false},  {9.0, 3.0, -150.0, 150.0, false, false},
        {3.0, 200.0, -20.0, 20.0, true, false},  {6.0, 26.0, -200.0, 200.0, false, true},
        {2.5, 18.3, 90.0, -90.0, true, true},    {2.5, 18.3, -179.5, 179.5, false, false},
        {12.0, 22.0, 0.0, 360.0, true, false},
    };
    // How much of the pixel centred at (dx, dy) the ring from angle a to b
    // covers.
    const auto covered = [&](const Case& c, double dx, double dy, double a, double b) {
        if (a > b) std::swap(a, b);
        if (b - a < 1e-9) return 0.0;
        const double half = c.width / 2.0, r = std::hypot(dx, dy);
        const double across = std::clamp(half + 0.5 - std::abs(r - c.radius), 0.0, 1.0);
        double past = std::atan2(dx, -dy) * 180.0 / kPi - a;
        past -= 360.0 * std::floor(past / 360.0);
        const double span = b - a;
        const double inside =
            past <= span ? std::min(past, span - past) : -std::min(past - span, 360.0 - past);
        if (!c.round)
            return across *
                   std::clamp(r * std::sin(std::clamp(inside, -90.0, 90.0) * kPi / 180.0) + 0.5,
                              0.0, 1.0);
        if (inside >= 0.0) return across;
        double nearest = 1e9;
        for (const double end : {a, b})
            nearest = std::min(nearest, std::hypot(dx - c.radius * std::sin(end * kPi / 180.0),
                                                   dy + c.radius * std::cos(end * kPi / 180.0)));
        return std::clamp(half + 0.5 - nearest, 0.0, 1.0);
    };
    for (const Case& c : cases) {
        ValueArc arc;
        arc.style.colour = 0xFFFFFFFFu;
        arc.style.track = 0x80000000u;
        arc.style.hasTrack = true;
        arc.style.width = c.width;
        arc.style.radius = c.radius;
        arc.style.roundEnds = c.round;
        arc.style.fromMiddle = c.middle;
        arc.centreX = 32.0;
        arc.centreY = 31.5;
        arc.start = c.start;
        arc.end = c.end;
        std::vector<StackLayer> layers(1);
        layers[0].arc = arc;
        StackFrames stack(64, 64, 7, layers, Routine::Bilinear, kGrey);
        for (int32_t i = 1; i <= 7; ++i) {
            const PixelGrid frame = frameOf(stack, i);
            const double value = c.start + (i - 1) / 6.0 * (c.end - c.start);
            const double from = c.middle ? (c.start + c.end) / 2.0 : c.start;
            for (int32_t y = 1; y <= 64; ++y)
                for (int32_t x = 1; x <= 64; ++x) {
                    const double dx = x - 0.5 - 32.0, dy = y - 0.5 - 31.5;
                    const double bar = covered(c, dx, dy, from, value);
                    const double track = covered(c, dx, dy, c.start, c.end) * 128.0 / 255.0;
                    const double alpha = 255.0 * (bar + track * (1.0 - bar));
                    ASSERT_NEAR(frame(4, x, y), alpha, 1.0)
                        << "width " << c.width << ", radius " << c.radius << ", " << c.start
                        << " to " << c.end << ", frame " << i << " at " << x << "," << y;
                }
        }
    }
}

// Drawn K times as large and averaged down, an arc's pixels come near the
// area its ring covers, nearer than with a pixel's width of smooth edge:
// round ends (discs on the ring's middle at the span's ends) and flat ones,
// a thin ring and a wide one, off the pixels' grid. The area is counted at
// 48 x 48 points a pixel.
TEST(StackFrames, AnOversampledArcComesNearTheAreaItsRingCovers) {
    constexpr double kPi = 3.14159265358979323846;
    struct Case {
        double width, radius;
        bool round;
    };
    const Case cases[] = {
        {4.0, 20.0, true}, {4.0, 20.0, false}, {1.5, 12.0, true}, {9.0, 17.5, true}};
    const int ks[] = {1, 2, 4};
    for (const Case& c : cases) {
        const double half = c.width / 2.0;
        // Whether the point (dx, dy) from the centre lies in the ring from
        // angle a to b.
        const auto in = [&](double dx, double dy, double a, double b) {
            double past = std::atan2(dx, -dy) * 180.0 / kPi - a;
            past -= 360.0 * std::floor(past / 360.0);
            if (std::abs(std::hypot(dx, dy) - c.radius) <= half && past <= b - a) return true;
            if (!c.round) return false;
            for (const double end : {a, b})
                if (std::hypot(dx - c.radius * std::sin(end * kPi / 180.0),
                               dy + c.radius * std::cos(end * kPi / 180.0)) <= half)
                    return true;
            return false;
        };
        std::vector<std::unique_ptr<StackFrames>> stacks;
        for (const int k : ks) {
            ValueArc arc;
            arc.style.colour = 0xFFFFFFFFu;
            arc.style.width = c.width;
            arc.style.radius = c.radius;
            arc.style.roundEnds = c.round;
            arc.centreX = 24.3;
            arc.centreY = 23.8;
            arc.oversample = k;
            std::vector<StackLayer> layers(1);
            layers[0].arc = arc;
            stacks.push_back(
                std::make_unique<StackFrames>(48, 48, 5, layers, Routine::Bilinear, kGrey));
        }
        double summed[3] = {}, worst[3] = {};
        for (const int32_t i : {2, 4}) {
            std::vector<PixelGrid> frames;
            for (const auto& stack : stacks) frames.push_back(frameOf(*stack, i));
            const double value = -135.0 + (i - 1) / 4.0 * 270.0;
            for (int32_t y = 1; y <= 48; ++y)
                for (int32_t x = 1; x <= 48; ++x) {
                    const double dx = x - 1 - 24.3, dy = y - 1 - 23.8;
                    if (std::abs(std::hypot(dx + 0.5, dy + 0.5) - c.radius) > half + 1.0) continue;
                    int inside = 0;
                    for (int v = 0; v < 48; ++v)
                        for (int u = 0; u < 48; ++u)
                            inside +=
                                in(dx + (u + 0.5) / 48.0, dy + (v + 0.5) / 48.0, -135.0, value);
                    for (std::size_t n = 0; n < 3; ++n) {
                        const double off = std::abs(frames[n](4, x, y) / 255.0 - inside / 2304.0);
                        summed[n] += off;
                        worst[n] = std::max(worst[n], off);
                    }
                }
        }
        const auto said = [&] {
            return testing::Message()
                   << "width " << c.width << ", radius " << c.radius
                   << (c.round ? ", round" : ", flat") << "; K = 1, 2, 4: summed " << summed[0]
                   << ", " << summed[1] << ", " << summed[2] << ", worst " << worst[0] << ", "
                   << worst[1] << ", " << worst[2];
        };
        EXPECT_LT(worst[2], 0.025) << said();
        EXPECT_LT(summed[1], summed[0] * 0.6) << said();
        EXPECT_LT(summed[2], summed[1] * 0.6) << said();
    }
}

}  // namespace
