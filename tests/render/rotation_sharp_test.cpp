#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fixtures.h"
#include "rotation.h"
#include "turned_frame.h"

using namespace Engine;
using namespace Render;

namespace {

using AppModul::Kernel;

constexpr fixtures::FrameOptions kOpacity{.opacity = true};

PixelGrid sharp(int32_t i, const KnobParams& p, const PixelGrid& src, bool opacity,
                Kernel kernel = Kernel::Best) {
    return fixtures::Frame(Routine::Sharp, i, p, src, {.opacity = opacity, .kernel = kernel});
}

// How far pixel (x, y) lies from the centre of a W x H picture.
double distance(int32_t x, int32_t y, int32_t w, int32_t h) {
    return std::hypot(x - (w + 1) / 2.0, y - (h + 1) / 2.0);
}

// A turn of 90, 180, 270 (or -90) degrees, reached by whole frames and by
// a start angle: every pixel wholly inside the disc is its source pixel
// moved, all four bytes; every pixel beyond the edge is its own.
TEST(RotateFrameSharp, QuarterTurnsMovePixelsExactly) {
    const struct {
        int32_t i;
        KnobParams p;
        int quarters;  // clockwise
    } turns[] = {{2, {9, 20.0f, 90.0f}, 1},        {3, {9, 20.0f, 90.0f}, 2},
                 {4, {9, 20.0f, 30.0f}, 1},        {5, {9, 20.0f, 45.0f, 90.0f}, 3},
                 {1, {9, 20.0f, 7.0f, -90.0f}, 3}, {9, {9, 20.0f, 67.5f, -90.0f}, 1}};
    for (auto [w, h] : {std::pair{45, 45}, {44, 44}, {45, 51}})
        for (bool opacity : {false, true})
            for (const auto& t : turns) {
                const PixelGrid src = fixtures::Picture(w, h, 4);
                const PixelGrid frame = sharp(t.i, t.p, src, opacity);
                const double cx = (w + 1) / 2.0, cy = (h + 1) / 2.0;
                for (int32_t y = 1; y <= h; ++y)
                    for (int32_t x = 1; x <= w; ++x) {
                        const double d = distance(x, y, w, h);
                        int32_t sx = x, sy = y;
                        for (int q = 0; q < t.quarters; ++q) {
                            const double dx = sx - cx, dy = sy - cy;
                            sx = static_cast<int32_t>(cx + dy), sy = static_cast<int32_t>(cy - dx);
                        }
                        if (d > 20.5) sx = x, sy = y;
                        if (d > 19.5 && d < 20.5) continue;  // the edge, blended
                        const int channels = opacity ? 4 : 3;
                        for (int c = 1; c <= channels; ++c)
                            ASSERT_EQ(frame(c, x, y), src(c, sx, sy))
                                << w << "x" << h << " frame " << t.i << " at " << x << "," << y;
                        if (!opacity) {
                            ASSERT_EQ(frame(4, x, y), src(4, x, y)) << "fourth byte";
                        }
                    }
            }
}

TEST(RotateFrameSharp, NoTurnNoRadiusAndTheFirstFrameAreCopies) {
    const PixelGrid src = fixtures::Picture(33, 30, 2);
    for (bool opacity : {false, true}) {
        EXPECT_EQ(sharp(1, {9, 16.0f, 10.0f}, src, opacity), src);
        EXPECT_EQ(sharp(4, {9, 16.0f, 0.0f}, src, opacity), src);
        EXPECT_EQ(sharp(4, {9, 0.0f, 10.0f}, src, opacity), src);
        EXPECT_EQ(sharp(4, {9, -3.0f, 10.0f}, src, opacity), src);
        EXPECT_EQ(sharp(5, {9, 16.0f, 90.0f}, src, opacity), src) << "a whole turn";
    }
}

// Keys' cubic (a = -1) at t past the second of four taps, in doubles.
void keys(double t, double w[4]) {
    const double d[4] = {1 + t, t, 1 - t, 2 - t};
    for (int i = 0; i < 4; ++i)
        w[i] = d[i] < 1 ? 1 - 2 * d[i] * d[i] + d[i] * d[i] * d[i]
                        : 4 - 8 * d[i] + 5 * d[i] * d[i] - d[i] * d[i] * d[i];
}

// A pixel wholly inside the disc whose source position falls between
// pixels, worked out in doubles: the sixteen taps weighted by Keys' cubic
// and by their opacity, clamped to the range of the four nearest, divided
// by the opacity. Random bytes, so that every weight and the clamp show.
TEST(RotateFrameSharp, ATurnedPixelIsTheClampedCubicOfItsSixteenTaps) {
    const PixelGrid src = fixtures::Picture(40, 36, 5);
    const KnobParams p{3, 17.0f, 23.3f};
    const double theta = 23.3 * 3.14159265358979323846 / 180.0;
    const double cx = 20.5, cy = 18.5, c = std::cos(theta), s = std::sin(theta);
    for (bool opacity : {false, true}) {
        const PixelGrid frame = sharp(2, p, src, opacity);
        int checked = 0;
        for (int32_t y = 1; y <= 36; ++y)
            for (int32_t x = 1; x <= 40; ++x) {
                const double dx = x - cx, dy = y - cy;
                if (std::hypot(dx, dy) > 16.0) continue;
                const double sx = cx + dx * c + dy * s, sy = cy - dx * s + dy * c;
                const auto ix = static_cast<int32_t>(std::floor(sx));
                const auto iy = static_cast<int32_t>(std::floor(sy));
                double wx[4], wy[4], sum[4] = {};
                keys(sx - ix, wx);
                keys(sy - iy, wy);
                const auto opacityAt = [&](int32_t tx, int32_t ty) {
                    return opacity ? static_cast<double>(src(4, tx, ty)) : 255.0;
                };
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i) {
                        const int32_t tx = ix - 1 + i, ty = iy - 1 + j;
                        const double a = opacityAt(tx, ty);
                        for (int k = 0; k < 3; ++k)
                            sum[k] += wx[i] * wy[j] * a * src(k + 1, tx, ty);
                        sum[3] += wx[i] * wy[j] * a;
                    }
                // Each byte's range over the four nearest; a colour times
                // opacity within least times least and largest times largest.
                double low[4] = {255, 255, 255, 255}, high[4] = {0, 0, 0, 0};
                for (int32_t ty = iy; ty <= iy + 1; ++ty)
                    for (int32_t tx = ix; tx <= ix + 1; ++tx)
                        for (int k = 0; k < 4; ++k) {
                            const double v = k < 3 ? src(k + 1, tx, ty) : opacityAt(tx, ty);
                            low[k] = std::min(low[k], v), high[k] = std::max(high[k], v);
                        }
                for (int k = 0; k < 3; ++k) low[k] *= low[3], high[k] *= high[3];
                for (int k = 0; k < 4; ++k) sum[k] = std::clamp(sum[k], low[k], high[k]);
                if (sum[3] < 32) continue;  // a faint pixel's colour is a coarse ratio
                for (int k = 0; k < 3; ++k)
                    ASSERT_NEAR(frame(k + 1, x, y), std::min(255.0, sum[k] / sum[3]), 0.6)
                        << "byte " << k << " at " << x << "," << y << " opacity " << opacity;
                if (opacity) {
                    ASSERT_NEAR(frame(4, x, y), sum[3], 0.6) << x << "," << y;
                }
                ++checked;
            }
        EXPECT_GT(checked, 500);
    }
}

// One colour inside and outside the disc shows no edge and no ringing,
// whatever the turn, the radius (beyond the picture too) and the opacity.
TEST(RotateFrameSharp, APictureOfOneColourStaysOneColour) {
    for (const uint8_t opacity : {uint8_t{255}, uint8_t{77}})
        for (const KnobParams& p : {KnobParams{9, 20.0f, 33.3f}, KnobParams{9, 31.0f, -17.0f},
                                    KnobParams{9, 12.25f, 1.0f}}) {
            PixelGrid src;
            src.allocate(45, 40);
            for (std::size_t k = 0; k < src.byteCount(); k += 4) {
                src.data()[k] = 12, src.data()[k + 1] = 200, src.data()[k + 2] = 99;
                src.data()[k + 3] = opacity;
            }
            for (bool keep : {false, true})
                EXPECT_EQ(sharp(3, p, src, keep), src) << int{opacity} << " " << p.RotRadius;
        }
}

// A picture dark on the left and light on the right, turned half a turn:
// the pixels at the edge lie between the turned and the still pixel by the
// share of them inside the disc, R + 0.5 - d; none is cut to one side.
TEST(RotateFrameSharp, TheDiscsEdgeBlendsOverAPixel) {
    PixelGrid src;
    src.allocate(41, 41);
    for (int32_t y = 1; y <= 41; ++y)
        for (int32_t x = 1; x <= 41; ++x)
            for (int c = 1; c <= 4; ++c) src(c, x, y) = x > 21 ? 240 : 40;
    const float radius = 15.3f;
    const PixelGrid frame = sharp(2, {2, radius, 180.0f}, src, false);
    int blended = 0;
    for (int32_t y = 1; y <= 41; ++y)
        for (int32_t x = 1; x <= 41; ++x) {
            const double share =
                std::clamp(double{radius} + 0.5 - distance(x, y, 41, 41), 0.0, 1.0);
            const double expected = share * src(1, 42 - x, 42 - y) + (1 - share) * src(1, x, y);
            ASSERT_NEAR(frame(1, x, y), expected, 0.51) << x << "," << y;
            blended += share > 0.1 && share < 0.9;
        }
    EXPECT_GT(blended, 40);
}

// Opaque red beside clear pixels whose hidden colour is green: no green
// reaches a pixel that can be seen, and the opacity itself turns.
TEST(RotateFrameSharp, AClearPixelsColourDoesNotBleed) {
    PixelGrid src;
    src.allocate(40, 40);
    for (int32_t y = 1; y <= 40; ++y)
        for (int32_t x = 1; x <= 40; ++x) {
            const bool red = (x / 5 + y / 7) % 2 == 0;
            src(2, x, y) = red ? 0 : 255;
            src(3, x, y) = red ? 255 : 0;
            src(4, x, y) = red ? 255 : 0;
        }
    for (int32_t i = 2; i <= 7; ++i) {
        const PixelGrid frame = sharp(i, {9, 19.0f, 13.7f}, src, true);
        int partial = 0;
        for (int32_t y = 1; y <= 40; ++y)
            for (int32_t x = 1; x <= 40; ++x) {
                if (frame(4, x, y) == 0) continue;
                ASSERT_EQ(frame(2, x, y), 0) << "frame " << i << " at " << x << "," << y;
                ASSERT_EQ(frame(3, x, y), 255) << "frame " << i << " at " << x << "," << y;
                partial += frame(4, x, y) < 255;
            }
        EXPECT_GT(partial, 20) << "edges are blended, not cut";
    }
}

// Without the opacity, a picture turns as if it were opaque: the colours of
// the opacity routine on the same picture made opaque, the fourth byte kept.
TEST(RotateFrameSharp, WithoutOpacityThePictureCountsAsOpaque) {
    const PixelGrid src = fixtures::Picture(39, 35, 6);
    PixelGrid opaque = src;
    for (std::size_t k = 3; k < opaque.byteCount(); k += 4) opaque.data()[k] = 255;
    const KnobParams p{9, 18.0f, 21.0f, -5.0f};
    for (int32_t i = 1; i <= 9; ++i) {
        const PixelGrid frame = sharp(i, p, src, false), expected = sharp(i, p, opaque, true);
        for (int32_t y = 1; y <= 35; ++y)
            for (int32_t x = 1; x <= 39; ++x) {
                for (int c = 1; c <= 3; ++c) ASSERT_EQ(frame(c, x, y), expected(c, x, y));
                ASSERT_EQ(frame(4, x, y), src(4, x, y));
            }
    }
}

// The same frame in three-byte rows, through the rows entry point.
std::vector<uint8_t> packedFrame(int32_t i, const KnobParams& p, const PixelGrid& src,
                                 Kernel kernel) {
    const auto pixels = static_cast<std::size_t>(src.width()) * src.height();
    std::vector<uint8_t> plain(pixels * 3), frame(pixels * 3);
    for (std::size_t k = 0; k < pixels; ++k) std::memcpy(&plain[k * 3], src.data() + k * 4, 3);
    const std::ptrdiff_t line = std::ptrdiff_t{src.width()} * 3;
    AppModul::RotateFrameSharp(
        i, p, src, {0, src.height(), frame.data(), line, 3, plain.data(), line}, kernel);
    return frame;
}

// The vector loops give the scalar loop's bytes: odd and tiny sizes, radii
// that reach beyond the picture (its edge repeated), any turn, with and
// without opacity, in four-byte and three-byte rows.
TEST(RotateFrameSharp, EveryLoopGivesTheSameBytes) {
    const std::pair<int32_t, int32_t> sizes[] = {{3, 3}, {4, 4}, {9, 5}, {45, 45}, {61, 37}};
    for (auto [w, h] : sizes) {
        PixelGrid src = fixtures::Picture(w, h, 11);
        // Clear and half-clear patches, so that the weighted and plain colours both occur.
        for (int32_t y = 1; y <= h; ++y)
            for (int32_t x = 1; x <= w; ++x)
                if ((x + 2 * y) % 7 < 3) src(4, x, y) = (x % 3 == 0) ? 0 : 9;
        for (const float radius :
             {static_cast<float>(w) / 2.0f, static_cast<float>(w) * 0.8f, 2.0f})
            for (const float angle : {13.7f, -100.0f, 45.0f, 0.01f}) {
                const KnobParams p{4, radius, angle, -7.5f};
                for (int32_t i = 1; i <= 4; ++i) {
                    const auto why = ::testing::Message()
                                     << w << "x" << h << " r " << radius << " angle " << angle;
                    for (bool opacity : {false, true}) {
                        const PixelGrid scalar = sharp(i, p, src, opacity, Kernel::Scalar);
                        ASSERT_EQ(sharp(i, p, src, opacity, Kernel::EightLanes), scalar) << why;
                        ASSERT_EQ(sharp(i, p, src, opacity, Kernel::Best), scalar) << why;
                    }
                    ASSERT_EQ(packedFrame(i, p, src, Kernel::Best),
                              packedFrame(i, p, src, Kernel::Scalar))
                        << why;
                }
            }
    }
}

}  // namespace
