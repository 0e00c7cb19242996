#include "strip_render.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#include "rotation.h"

namespace {

// Below this many frame pixels a second thread costs more than it saves.
constexpr int64_t kPixelsPerExtraThread = 200'000;

struct StripJob {
    StripOrientation orientation;
    const KnobParams& params;
    bool bilinear;
    const PixelGrid& src;
    PixelGrid& lastFrame;
    const ImageView& strip;
    int32_t frameCount;
    int32_t lastOnStrip;  // frames beyond it lie wholly outside the surface
    std::atomic<int64_t> next{1};
};

// Frame i's top-left corner in the strip, as 64-bit numbers so that a frame
// far beyond the surface is simply clipped away.
void framePlace(const StripJob& job, int32_t i, int64_t& left, int64_t& top) {
    const int64_t offset = int64_t{i} - 1;
    left = job.orientation == StripOrientation::Horizontal ? offset * job.src.width() : 0;
    top = job.orientation == StripOrientation::Vertical ? offset * job.src.height() : 0;
}

void renderFrame(StripJob& job, int32_t i, PixelGrid& scratch) {
    int64_t left = 0, top = 0;
    framePlace(job, i, left, top);
    const int32_t w = job.src.width(), h = job.src.height();
    const bool last = i == job.frameCount;
    const bool inside = left + w <= job.strip.width && top + h <= job.strip.height;
    if (inside && !last) {
        // Straight into the strip: the frame's place has the frame's layout.
        const auto x = static_cast<int32_t>(left), y = static_cast<int32_t>(top);
        AppModul::RotateFrameInto(job.bilinear, i, job.params, job.src, job.strip.pixel(x, y),
                                  job.strip.bytesPerLine);
        for (int32_t row = 0; row < h; ++row) {
            uint8_t* p = job.strip.pixel(x, y + row);
            for (int32_t col = 0; col < w; ++col) p[col * 4 + 3] = 255;  // the surface is opaque
        }
        return;
    }
    PixelGrid& frame = last ? job.lastFrame : scratch;
    AppModul::RotateFrameInto(job.bilinear, i, job.params, job.src, frame.data(), int64_t{w} * 4);
    if (left >= job.strip.width || top >= job.strip.height) return;
    BitmapInfoHeader info;
    APIMod::SetDibHeader(frame, info);
    StretchDIBits(job.strip, static_cast<int32_t>(left), static_cast<int32_t>(top), w, h, 0, 0, w,
                  h, frame.data(), info);
}

void worker(StripJob& job) {
    PixelGrid scratch;
    scratch.allocate(job.src.width(), job.src.height());
    for (int64_t i = job.next.fetch_add(1); i <= job.lastOnStrip; i = job.next.fetch_add(1))
        renderFrame(job, static_cast<int32_t>(i), scratch);
}

unsigned threadCount(unsigned requested, const PixelGrid& src, int32_t frames) {
    unsigned cores = requested != 0 ? requested : std::max(1u, std::thread::hardware_concurrency());
    const int64_t pixels = int64_t{src.width()} * src.height() * frames;
    const auto useful = static_cast<unsigned>(std::min<int64_t>(
        1 + pixels / kPixelsPerExtraThread, std::numeric_limits<unsigned>::max()));
    return std::min({cores, useful, 16u});
}

}  // namespace

void RenderStrip(StripOrientation orientation, const KnobParams& params, bool RotateMode,
                 const PixelGrid& SrcBits, PixelGrid& FrameBits, const ImageView& strip,
                 unsigned threads) {
    FrameBits.allocate(SrcBits.width(), SrcBits.height());
    const int32_t n = params.FrameCount;
    if (n < 1 || SrcBits.empty()) return;
    // Frames that start beyond the surface would only be clipped away; the
    // last frame is built all the same, for FrameBits.
    const int64_t extent = orientation == StripOrientation::Horizontal ? strip.width : strip.height;
    const int64_t frameExtent =
        orientation == StripOrientation::Horizontal ? SrcBits.width() : SrcBits.height();
    const auto onStrip = static_cast<int32_t>(
        std::min<int64_t>(n, (std::max<int64_t>(extent, 0) + frameExtent - 1) / frameExtent));
    StripJob job{orientation, params, RotateMode, SrcBits, FrameBits, strip, n, onStrip};
    std::vector<std::thread> helpers;
    const unsigned count = threadCount(threads, SrcBits, onStrip);
    for (unsigned t = 1; t < count; ++t) {
        try {
            helpers.emplace_back(worker, std::ref(job));
        } catch (const std::system_error&) {
            break;  // fewer threads, same strip
        }
    }
    worker(job);
    for (auto& helper : helpers) helper.join();
    if (onStrip < n)
        AppModul::RotateFrameInto(RotateMode, n, params, SrcBits, FrameBits.data(),
                                  int64_t{SrcBits.width()} * 4);
}
