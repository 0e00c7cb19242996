#include "pixel_grid.h"

#include <gtest/gtest.h>

#include "fixtures.h"

using namespace Engine;

namespace {

struct HeaderCase {
    int32_t w, h;
    uint32_t sizeImage;
};

class SetDibHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(SetDibHeaderTest, DescribesTopDown32BitGrid) {
    const auto [w, h, sizeImage] = GetParam();
    PixelGrid grid;
    grid.allocate(w, h);
    BitmapInfoHeader header;
    header.biClrUsed = 99;  // stale values must be overwritten
    Engine::SetDibHeader(grid, header);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, w);
    EXPECT_EQ(header.biHeight, -h);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biCompression, 0u);
    EXPECT_EQ(header.biSizeImage, sizeImage);
    EXPECT_EQ(header.biXPelsPerMeter, 0);
    EXPECT_EQ(header.biYPelsPerMeter, 0);
    EXPECT_EQ(header.biClrUsed, 0u);
    EXPECT_EQ(header.biClrImportant, 0u);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, SetDibHeaderTest,
                         ::testing::Values(HeaderCase{45, 45, 8100}, HeaderCase{1, 1, 4},
                                           HeaderCase{121, 121, 58564},
                                           HeaderCase{45, 7965, 1433700}));

TEST(PixelGrid, LayoutIsThatOfATopDown32BitBitmap) {
    PixelGrid grid;
    grid.allocate(3, 2);
    ASSERT_EQ(grid.byteCount(), 24u);
    grid(1, 1, 1) = 11;  // blue of the top-left pixel: the first byte
    grid(3, 3, 2) = 33;  // red of the bottom-right pixel
    grid(4, 2, 1) = 44;
    EXPECT_EQ(grid.data()[0], 11);
    EXPECT_EQ(grid.data()[((2 - 1) * 3 + (3 - 1)) * 4 + 2], 33);
    EXPECT_EQ(grid.data()[(1) * 4 + 3], 44);
}

TEST(PixelGrid, ReallocationGivesZeroBytes) {
    PixelGrid grid = fixtures::Picture(5, 4);
    grid.allocate(5, 4);
    for (std::size_t k = 0; k < grid.byteCount(); ++k) ASSERT_EQ(grid.data()[k], 0) << k;
    grid.allocate(0, 7);
    EXPECT_TRUE(grid.empty());
    EXPECT_EQ(grid.width(), 0);
}

}  // namespace
