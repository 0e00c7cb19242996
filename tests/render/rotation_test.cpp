#include "rotation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "fixtures.h"
#include "reference_rotation.h"
#include "turned_frame.h"

using namespace Engine;
using namespace Render;

using AppModul::RotateFrameBilinear;
using AppModul::RotateFrameNearest;
using AppModul::VisitedBox;

namespace {

using Routine = void (*)(int32_t, const KnobParams&, const PixelGrid&, const AppModul::FrameRows&,
                         AppModul::Kernel);

struct Named {
    const char* name;
    Routine routine;
    bool bilinear;
};
const Named kRoutines[] = {{"bilinear", &RotateFrameBilinear, true},
                           {"nearest", &RotateFrameNearest, false}};
// The widest loop this processor runs, the eight-lane one, the scalar one.
const AppModul::Kernel kKernels[] = {AppModul::Kernel::Best, AppModul::Kernel::EightLanes,
                                     AppModul::Kernel::Scalar};

bool sameRgb(const PixelGrid& a, int32_t ax, int32_t ay, const PixelGrid& b, int32_t bx,
             int32_t by) {
    return a(1, ax, ay) == b(1, bx, by) && a(2, ax, ay) == b(2, bx, by) &&
           a(3, ax, ay) == b(3, bx, by);
}

TEST(VisitedBox, RadiusRoundsHalfToEvenAroundTheCentre) {
    EXPECT_EQ(VisitedBox(18.0f, 45, 45), (AppModul::FrameBox{5, 41, 5, 41}));
    EXPECT_EQ(VisitedBox(18.5f, 45, 45), (AppModul::FrameBox{4, 42, 4, 42}));
    EXPECT_EQ(VisitedBox(17.5f, 45, 45), (AppModul::FrameBox{6, 40, 6, 40}));
    EXPECT_EQ(VisitedBox(30.0f, 45, 45), (AppModul::FrameBox{1, 45, 1, 45}));
    const auto negative = VisitedBox(-3.0f, 45, 45);
    EXPECT_GT(negative.y0, negative.y1);
    // Rows follow the height, columns the width.
    EXPECT_EQ(VisitedBox(5.0f, 20, 10), (AppModul::FrameBox{6, 16, 1, 10}));
}

TEST(RotateFrame, FirstFrameAndNoTurnAreExactCopies) {
    const PixelGrid src = fixtures::Picture(45, 45);
    for (const auto& r : kRoutines) {
        EXPECT_EQ(fixtures::Frame(r.bilinear, 1, {28, 18.0f, 10.0f}, src), src)
            << r.name << " frame 1";
        EXPECT_EQ(fixtures::Frame(r.bilinear, 7, {28, 18.0f, 0.0f}, src), src)
            << r.name << " angle 0";
        EXPECT_EQ(fixtures::Frame(r.bilinear, 7, {28, 0.0f, 33.0f}, src), src)
            << r.name << " radius 0";
        EXPECT_EQ(fixtures::Frame(r.bilinear, 7, {28, -4.0f, 33.0f}, src), src)
            << r.name << " negative radius";
    }
}

TEST(RotateFrame, QuarterTurnIsClockwiseOnScreen) {
    const PixelGrid src = fixtures::Picture(45, 45);
    for (const auto& r : kRoutines) {
        PixelGrid frame = fixtures::Frame(r.bilinear, 2, {28, 18.0f, 90.0f}, src);
        // Seven rows below the centre shows what was seven columns to its right.
        EXPECT_TRUE(sameRgb(frame, 23, 30, src, 30, 23)) << r.name;
        // and seven columns left of the centre what was seven rows below it.
        EXPECT_TRUE(sameRgb(frame, 16, 23, src, 23, 30)) << r.name;
        // Counter-clockwise for a negative angle.
        frame = fixtures::Frame(r.bilinear, 2, {28, 18.0f, -90.0f}, src);
        EXPECT_TRUE(sameRgb(frame, 23, 16, src, 30, 23)) << r.name;
    }
}

TEST(RotateFrame, ChannelFourAndTheOutsideAreNeverWritten) {
    const PixelGrid src = fixtures::Picture(45, 45);
    for (const auto& r : kRoutines) {
        // The box covers the whole grid.
        const PixelGrid frame = fixtures::Frame(r.bilinear, 4, {28, 30.0f, 37.0f}, src);
        for (int32_t y = 1; y <= 45; ++y)
            for (int32_t x = 1; x <= 45; ++x) ASSERT_EQ(frame(4, x, y), src(4, x, y)) << r.name;
        // Corners: their source positions fall outside the accepted ones.
        for (auto [x, y] : {std::pair{1, 1}, {45, 1}, {1, 45}, {45, 45}})
            EXPECT_TRUE(sameRgb(frame, x, y, src, x, y)) << r.name << " corner " << x << "," << y;
    }
}

TEST(RotateFrameBilinear, ColumnOneAndRowOneNeverContribute) {
    // A picture whose first row and column are white and the rest black: any
    // turned pixel that blended them in would not be black.
    PixelGrid src;
    src.allocate(21, 21);
    for (int32_t k = 1; k <= 21; ++k)
        for (int c = 1; c <= 3; ++c) src(c, k, 1) = src(c, 1, k) = 255;
    const PixelGrid frame = fixtures::Frame(true, 2, {2, 40.0f, 45.0f}, src);
    for (int32_t y = 2; y <= 21; ++y)
        for (int32_t x = 2; x <= 21; ++x) ASSERT_EQ(frame(1, x, y), 0) << x << "," << y;
}

// The engine evaluates the same expressions in a reorganised loop; hold it to
// a plain per-pixel rendering over odd and even sizes, fractional and negative
// radii and angles of any sign and size.
class MatchesPlainRendering
    : public ::testing::TestWithParam<std::tuple<std::pair<int, int>, float, float>> {};

TEST_P(MatchesPlainRendering, ByteForByte) {
    const auto [size, radius, angle] = GetParam();
    const PixelGrid src = fixtures::Picture(size.first, size.second, 7);
    for (const auto& r : kRoutines) {
        for (int32_t i : {1, 2, 3, 5, 17, 100}) {
            PixelGrid plain;
            reference::RotateFrame(r.bilinear, i, {100, radius, angle}, src, plain);
            ASSERT_EQ(fixtures::Frame(r.bilinear, i, {100, radius, angle}, src), plain)
                << r.name << " frame " << i;
            for (auto kernel : {AppModul::Kernel::EightLanes, AppModul::Kernel::Scalar})
                ASSERT_EQ(
                    fixtures::Frame(r.bilinear, i, {100, radius, angle}, src, {.kernel = kernel}),
                    plain)
                    << r.name << " frame " << i << " (narrower loop)";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchesPlainRendering,
    ::testing::Combine(::testing::Values(std::pair{1, 1}, std::pair{2, 2}, std::pair{3, 5},
                                         std::pair{44, 44}, std::pair{45, 45}, std::pair{64, 17},
                                         std::pair{121, 121}),
                       ::testing::Values(0.5f, 1.0f, 17.5f, 18.0f, 22.5f, 60.0f, 200.0f, -3.0f),
                       ::testing::Values(10.0f, 0.36f, -33.3f, 90.0f, 725.5f, 1e6f)));

// Any rows of a frame, built alone into three-byte rows that lie bottom-up
// in memory, are those rows of the whole frame; nothing else is touched.
TEST(RotateFrame, SomeRowsInThreeBytesAreTheWholeFramesRows) {
    const PixelGrid src = fixtures::Picture(37, 41, 5);
    std::vector<uint8_t> plain(37 * 41 * 3);
    for (std::size_t p = 0; p < 37 * 41; ++p) std::memcpy(&plain[p * 3], src.data() + p * 4, 3);
    const std::ptrdiff_t line = 112;  // 37 x 3 padded to four bytes
    for (const auto& r : kRoutines) {
        for (auto kernel : kKernels)
            for (auto [first, count] : {std::pair{0, 1}, {5, 12}, {40, 1}, {0, 41}}) {
                const PixelGrid whole = fixtures::Frame(r.bilinear, 9, {28, 17.5f, -23.0f}, src);
                std::vector<uint8_t> out(static_cast<std::size_t>(line) * 43, 0x5A);
                // Row `first` two rows above the buffer's end, the rows going up.
                uint8_t* top = out.data() + line * 41;
                r.routine(9, {28, 17.5f, -23.0f}, src,
                          {first, count, top, -line, 3, plain.data(), 37 * 3}, kernel);
                for (int32_t y = 0; y < 43; ++y)
                    for (int32_t x = 0; x < line; ++x) {
                        const int32_t row = first + 41 - y;  // frame row at buffer row y
                        const bool built = row >= first && row < first + count && x < 37 * 3;
                        const uint8_t want =
                            built ? whole(x % 3 + 1, x / 3 + 1, row + 1) : uint8_t{0x5A};
                        ASSERT_EQ(out[static_cast<std::size_t>(y * line + x)], want)
                            << r.name << " rows " << first << "+" << count << " at " << x << ","
                            << y;
                    }
            }
    }
}

// Pictures over 2048 pixels: squares of half-integers beyond 2^22 are not
// exact in single precision, so a radius test in floats would go wrong at
// the disc's edge; the vector loops must still match the scalar ones.
TEST(RotateFrame, VectorLoopsMatchTheScalarOnesOnLargePictures) {
    for (auto [w, h] : {std::pair{4100, 7}, std::pair{9, 4098}}) {
        const PixelGrid src = fixtures::Picture(w, h, 11);
        for (const auto& r : kRoutines)
            for (float radius : {2048.4999f, 2048.5f, 2049.25f, 3000.0f})
                for (float angle : {0.01f, -0.03f}) {
                    const KnobParams p{3, radius, angle};
                    PixelGrid frames[3];
                    for (int k = 0; k < 3; ++k)
                        frames[k] = fixtures::Frame(r.bilinear, 2, p, src, {.kernel = kKernels[k]});
                    ASSERT_EQ(frames[0], frames[2]) << r.name << " " << w << "x" << h << " radius "
                                                    << radius << " angle " << angle;
                    ASSERT_EQ(frames[1], frames[2]) << r.name << " eight lanes";
                }
    }
}

}  // namespace
