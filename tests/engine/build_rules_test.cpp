#include "build_rules.h"

#include <gtest/gtest.h>

using namespace Engine;

namespace {

TEST(LimitVerticalFrameCount, WholeNumberQuotientOver8000) {
    EXPECT_EQ(LimitVerticalFrameCount(45, 200), 177);
    EXPECT_EQ(LimitVerticalFrameCount(121, 100), 66);
    EXPECT_EQ(LimitVerticalFrameCount(40, 200), std::nullopt);  // exactly 8000 fits
    EXPECT_EQ(LimitVerticalFrameCount(45, 28), std::nullopt);
    EXPECT_EQ(LimitVerticalFrameCount(121, INT32_MAX), 66);  // no overflow
}

TEST(ComputeStripSize, FramesSideBySideStackedOrInRows) {
    EXPECT_EQ(ComputeStripSize(StripLayout::Horizontal(), 45, 45, 28), (StripExtent{1260, 45}));
    EXPECT_EQ(ComputeStripSize(StripLayout::Vertical(), 45, 45, 28), (StripExtent{45, 1260}));
    EXPECT_EQ(ComputeStripSize(StripLayout::Horizontal(), 45, 45, 1000), (StripExtent{45000, 45}));
    EXPECT_EQ(ComputeStripSize(StripLayout::Horizontal(), 121, 121, INT32_MAX).X,
              int64_t{121} * INT32_MAX);
    // A grid of 4 columns: 10 frames in three rows, the last one short.
    EXPECT_EQ(ComputeStripSize(StripLayout::Grid(4), 30, 20, 10), (StripExtent{120, 60}));
    // Fewer frames than columns: one row of them.
    EXPECT_EQ(ComputeStripSize(StripLayout::Grid(4), 30, 20, 3), (StripExtent{90, 20}));
    EXPECT_EQ(ComputeStripSize(StripLayout::Grid(4), 30, 20, 0), (StripExtent{0, 0}));
}

TEST(StripFits, LargestStripsAreRefused) {
    EXPECT_TRUE(StripFits({1260, 45}));
    EXPECT_TRUE(StripFits({121000, 121}));        // 1000 frames of the largest picture
    EXPECT_FALSE(StripFits({121 * 99999, 121}));  // 1.4 G pixels
    EXPECT_FALSE(StripFits({0, 45}));
    EXPECT_FALSE(StripFits({kMaxStripSide + 1, 1}));
}

// What both the window and the command line build from.
TEST(BuildStrip, RepairsLowersAndSizesInOneStep) {
    const StripBuild repaired = BuildStrip(StripLayout::Horizontal(), 45, 45, {-3, -2.0f, 0.0f});
    EXPECT_EQ(repaired.repairs.size(), 3u);
    EXPECT_EQ(repaired.params.FrameCount, 1);
    EXPECT_EQ(repaired.params.RotRadius, 1.0f);
    EXPECT_EQ(repaired.size, (StripExtent{45, 45}));
    EXPECT_TRUE(repaired.fits);

    const StripBuild lowered = BuildStrip(StripLayout::Vertical(), 121, 121, {1000, 60.0f, 0.36f});
    EXPECT_EQ(lowered.loweredFrames, 66);
    EXPECT_EQ(lowered.params.FrameCount, 66);
    EXPECT_EQ(lowered.size, (StripExtent{121, 7986}));
    EXPECT_TRUE(lowered.fits);

    // A horizontal strip is not lowered: it is refused when too large.
    const StripBuild huge =
        BuildStrip(StripLayout::Horizontal(), 121, 121, {INT32_MAX, 60.0f, 1.0f});
    EXPECT_FALSE(huge.loweredFrames);
    EXPECT_FALSE(huge.fits);
}

}  // namespace
