#include "strip_compositor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "fixtures.h"
#include "rotation.h"
#include "turned_frame.h"

using namespace Engine;
using namespace Render;

namespace {

using Rows = std::pair<int32_t, int32_t>;  // first, count

// A sink in plain memory, laid out as asked, that keeps a record of the
// compositor's calls.
class MemorySink : public StripSink {
public:
    MemorySink(int32_t w, int32_t h, int pixelBytes, bool bottomUp, int64_t bandBytes)
        : w_(w),
          h_(h),
          pixelBytes_(pixelBytes),
          bottomUp_(bottomUp),
          bandBytes_(bandBytes),
          line_((w * pixelBytes + 3) & ~3),
          bytes(static_cast<std::size_t>(line_) * static_cast<std::size_t>(h), 0x5A) {}

    int32_t width() const override { return w_; }
    int32_t height() const override { return h_; }
    int pixelBytes() const override { return pixelBytes_; }
    bool bottomUp() const override { return bottomUp_; }
    bool keepsOpacity() const override { return opacity; }
    int64_t bandBytes() const override { return bandBytes_; }
    BandView band(int32_t first, int32_t count) override {
        asked.push_back({first, count});
        mostOpen = std::max<int>(mostOpen, static_cast<int>(asked.size() - done.size()));
        if (static_cast<int>(asked.size()) == noMemoryAt) return {};
        return {row(first), bottomUp_ ? -line_ : line_};
    }
    bool bandDone(int32_t first, int32_t count) override {
        done.push_back({first, count});
        return static_cast<int>(done.size()) != stopAt;
    }

    uint8_t* row(int32_t y) { return bytes.data() + (bottomUp_ ? h_ - 1 - y : y) * line_; }
    const uint8_t* pixel(int32_t x, int32_t y) { return row(y) + x * pixelBytes_; }

    std::vector<Rows> asked, done;
    int mostOpen = 0;
    int stopAt = -1;      // bandDone of this band (1-based) says stop
    int noMemoryAt = -1;  // band() of this band has no memory
    bool opacity = false;

private:
    int32_t w_, h_;
    int pixelBytes_;
    bool bottomUp_;
    int64_t bandBytes_;
    std::ptrdiff_t line_;

public:
    std::vector<uint8_t> bytes;
};

// The pixel the places of a grid without a frame get, 0xAARRGGBB.
constexpr uint32_t kEmpty = 0x80C0FFEEu;

// Whether every frame of the range, built whole on its own, stands at its
// place of the layout in the sink: same colours, an opaque fourth byte in
// four-byte sinks; the places without a frame hold kEmpty, every pixel.
::testing::AssertionResult framesInPlace(MemorySink& sink, StripLayout o, Routine routine,
                                         const KnobParams& p, const PixelGrid& src,
                                         FrameRange range = {}) {
    const int32_t count = range.count < 0 ? p.FrameCount - range.first + 1 : range.count;
    const int64_t places = o.Columns(count) * o.Rows(count);
    for (int64_t k = count; k < places; ++k) {
        const auto place = o.PlaceOf(k, count);
        for (int32_t y = 0; y < src.height(); ++y)
            for (int32_t x = 0; x < src.width(); ++x) {
                const uint8_t* px = sink.pixel(static_cast<int32_t>(place.column) * src.width() + x,
                                               static_cast<int32_t>(place.row) * src.height() + y);
                for (int c = 0; c < sink.pixelBytes(); ++c)
                    if (px[c] != static_cast<uint8_t>(kEmpty >> (8 * c)))
                        return ::testing::AssertionFailure() << "empty place " << k;
            }
    }
    for (int32_t k = 0; k < count; ++k) {
        const int32_t i = range.first + k;
        const PixelGrid frame = fixtures::Frame(routine, i, p, src);
        const auto place = o.PlaceOf(k, count);
        const auto left = static_cast<int32_t>(place.column) * src.width();
        const auto top = static_cast<int32_t>(place.row) * src.height();
        for (int32_t y = 1; y <= src.height(); ++y)
            for (int32_t x = 1; x <= src.width(); ++x) {
                const uint8_t* px = sink.pixel(left + x - 1, top + y - 1);
                for (int c = 1; c <= 3; ++c)
                    if (px[c - 1] != frame(c, x, y))
                        return ::testing::AssertionFailure()
                               << "frame " << i << " pixel " << x << "," << y;
                if (sink.pixelBytes() == 4 && px[3] != 255)
                    return ::testing::AssertionFailure() << "not opaque at frame " << i;
            }
    }
    return ::testing::AssertionSuccess();
}

struct Layout {
    int pixelBytes;
    bool bottomUp;
};

// Horizontal and vertical strips, and grids with a full and a short last row.
TEST(ComposeStrip, EveryFrameInPlaceWhateverTheBandsAndTheLayout) {
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {3, 5}, {37, 41}, {45, 45}};
    const Layout layouts[] = {{4, false}, {3, true}, {3, false}};
    // One row a band, bands that cut frames anywhere, one band for all.
    const int64_t bandBytes[] = {1, 5000, StripSink::kDefaultBandBytes};
    for (auto [w, h] : sizes) {
        const PixelGrid src = fixtures::Picture(w, h, 3);
        for (auto o : {StripLayout::Horizontal(), StripLayout::Vertical(), StripLayout::Grid(3),
                       StripLayout::Grid(7)})
            for (const Routine routine : {Routine::Bilinear, Routine::Nearest, Routine::Sharp})
                for (int32_t frames : {1, 7, 30})
                    for (const Layout& l : layouts)
                        for (int64_t band : bandBytes) {
                            const KnobParams p{frames, static_cast<float>(w) / 2.0f + 0.5f,
                                               -13.25f};
                            MemorySink sink(static_cast<int32_t>(w * o.Columns(frames)),
                                            static_cast<int32_t>(h * o.Rows(frames)), l.pixelBytes,
                                            l.bottomUp, band);
                            ASSERT_TRUE(ComposeStrip(o, p, routine, src, sink, band == 1 ? 1 : 3,
                                                     {}, kEmpty));
                            ASSERT_TRUE(framesInPlace(sink, o, routine, p, src))
                                << w << "x" << h << " routine " << RoutineName(routine)
                                << " frames " << frames << " pixel bytes " << l.pixelBytes
                                << " band " << band;
                        }
    }
}

// Some frames of the sequence, each in the place of the first, second, ...:
// a sheet of one frame, a middle stretch, the last frames.
TEST(ComposeStrip, ARangeOfFramesTakesTheLayoutsFirstPlaces) {
    const PixelGrid src = fixtures::Picture(13, 11, 5);
    const KnobParams p{40, 6.5f, 7.5f, -30.0f};
    const struct {
        StripLayout layout;
        FrameRange range;
    } cases[] = {{StripLayout::Horizontal(), {17, 1}},
                 {StripLayout::Grid(4), {9, 6}},
                 {StripLayout::Vertical(), {35, -1}}};
    for (const auto& c : cases) {
        const int32_t count = c.range.count < 0 ? p.FrameCount - c.range.first + 1 : c.range.count;
        MemorySink sink(static_cast<int32_t>(13 * c.layout.Columns(count)),
                        static_cast<int32_t>(11 * c.layout.Rows(count)), 4, false, 600);
        ASSERT_TRUE(ComposeStrip(c.layout, p, Routine::Bilinear, src, sink, 2, c.range, kEmpty));
        EXPECT_TRUE(framesInPlace(sink, c.layout, Routine::Bilinear, p, src, c.range))
            << c.range.first;
    }
}

TEST(ComposeStrip, BandsCoverTheStripOnceInTheSinksOrder) {
    const PixelGrid src = fixtures::Picture(45, 45);
    for (bool bottomUp : {false, true}) {
        MemorySink sink(45, 45 * 20, 3, bottomUp, 45 * 3 * 128);  // 128 rows a band
        ASSERT_TRUE(ComposeStrip(StripLayout::Vertical(), {20, 18.0f, 10.0f}, Routine::Bilinear,
                                 src, sink));
        EXPECT_EQ(sink.asked, sink.done);
        EXPECT_LE(sink.mostOpen, 2);
        ASSERT_EQ(sink.done.size(), 8u);
        int32_t next = bottomUp ? 900 : 0;  // the end, or the start, of the next band
        for (auto [first, count] : sink.done) {
            EXPECT_EQ(bottomUp ? first + count : first, next);
            next = bottomUp ? first : first + count;
        }
        EXPECT_EQ(next, bottomUp ? 0 : 900);
        EXPECT_EQ(sink.done.back().second, 900 - 7 * 128) << "the short band comes last";
    }
}

// A sink that keeps opacity gets the frames of the routine that turns it,
// also where bands and the sink's edge cut frames.
TEST(ComposeStrip, OpacityTurnsWithTheFramesWhenTheSinkKeepsIt) {
    PixelGrid src = fixtures::Picture(37, 41, 9);
    for (int32_t y = 1; y <= 41; ++y) src(4, 3, y) = src(4, 20, y) = 0;
    const KnobParams p{9, 19.0f, 33.0f, -135.0f};
    for (const Routine routine : {Routine::Bilinear, Routine::Nearest, Routine::Sharp}) {
        MemorySink sink(37 * 9 - 20, 41, 4, false, 37 * 4 * 9 * 7);
        sink.opacity = true;
        ASSERT_TRUE(ComposeStrip(StripLayout::Horizontal(), p, routine, src, sink, 3));
        for (int32_t i = 1; i <= 9; ++i) {
            const PixelGrid frame = fixtures::Frame(routine, i, p, src, {.opacity = true});
            const int32_t visible = std::min(37, sink.width() - (i - 1) * 37);
            for (int32_t y = 0; y < 41; ++y)
                ASSERT_EQ(0, std::memcmp(sink.pixel((i - 1) * 37, y), frame.data() + y * 37 * 4,
                                         static_cast<std::size_t>(visible) * 4))
                    << RoutineName(routine) << " frame " << i << " row " << y;
        }
    }
}

TEST(ComposeStrip, StopsWhenTheSinkCannotGoOn) {
    const PixelGrid src = fixtures::Picture(45, 45);
    const KnobParams p{20, 18.0f, 10.0f};
    MemorySink stops(45, 900, 3, true, 45 * 3 * 100);
    stops.stopAt = 2;
    EXPECT_FALSE(ComposeStrip(StripLayout::Vertical(), p, Routine::Bilinear, src, stops));
    EXPECT_EQ(stops.done.size(), 2u);
    EXPECT_LE(stops.asked.size(), 3u) << "no band opened after the stop";
    MemorySink lacks(45, 900, 3, true, 45 * 3 * 100);
    lacks.noMemoryAt = 3;
    EXPECT_FALSE(ComposeStrip(StripLayout::Vertical(), p, Routine::Bilinear, src, lacks));
    EXPECT_EQ(lacks.asked.size(), 3u);
}

}  // namespace
