#include "strip_compositor.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "rotation.h"

#include <memory>

using namespace Engine;

namespace Render {

namespace {

// A piece of a frame is at most this many rows, so that even one frame in a
// band gives every thread something to build.
constexpr int32_t kPieceRows = 64;
// A thread takes pieces of about this many pixels at a time.
constexpr int64_t kBatchPixels = 32'768;
// Below this many pixels a second thread costs more than it saves.
constexpr int64_t kPixelsPerExtraThread = 200'000;
constexpr int kOpenBands = 2;

// Rows of one frame at their place in a band.
struct Piece {
    int32_t frame = 0;     // 1-based
    int32_t firstRow = 0;  // frame row, 0-based
    int32_t rows = 0;
    int32_t bandRow = 0;  // the band's row that frame row firstRow goes to
    int32_t x = 0;        // strip column of the frame's left edge
    int32_t visible = 0;  // columns of the frame inside the sink
};

}  // namespace

// The source in the sink's pixel layout, for the pixels that stay still.
struct DiscFrames::Source {
    const PixelGrid* sampled = nullptr;
    PixelGrid opaque;             // four-byte sinks: every fourth byte 255
    std::vector<uint8_t> packed;  // three-byte sinks
    const uint8_t* plain = nullptr;
    std::ptrdiff_t plainLine = 0;
};

namespace {

using Source = DiscFrames::Source;

bool prepareSource(const PixelGrid& src, int pixelBytes, bool opacity, Source& s) {
    try {
        if (pixelBytes == 4 && opacity) {
            s.sampled = &src;
            s.plain = src.data();
        } else if (pixelBytes == 4) {
            s.opaque = src;
            for (std::size_t k = 3; k < s.opaque.byteCount(); k += 4) s.opaque.data()[k] = 255;
            s.sampled = &s.opaque;
            s.plain = s.opaque.data();
        } else {
            s.packed.resize(src.byteCount() / 4 * 3);
            for (std::size_t p = 0; p < src.byteCount() / 4; ++p)
                std::memcpy(&s.packed[p * 3], src.data() + p * 4, 3);
            s.sampled = &src;
            s.plain = s.packed.data();
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    s.plainLine = static_cast<std::ptrdiff_t>(src.width()) * pixelBytes;
    return true;
}

// The cap of 16 is deliberate, not a leftover: the largest strip has about
// 67 M pixels, so beyond 16 threads each gets too little to pay for its start,
// and the bands (which the calling thread hands on one by one) become the
// bottleneck. Any count gives the same bytes.
unsigned threadCount(unsigned requested, int64_t pixels) {
    const unsigned cores =
        requested != 0 ? requested : std::max(1u, std::thread::hardware_concurrency());
    const auto useful = static_cast<unsigned>(std::min<int64_t>(
        1 + pixels / kPixelsPerExtraThread, std::numeric_limits<unsigned>::max()));
    return std::min({cores, useful, 16u});
}

class Compositor {
public:
    Compositor(const StripLayout& layout, FrameRange frames, const FrameMaker& maker,
               StripSink& sink, uint32_t empty);
    bool run(unsigned threads);

private:
    struct Band {
        int32_t first = 0, count = 0;
        BandView view;
        std::vector<Piece> pieces;
        std::size_t next = 0;  // first piece no thread has taken
        std::size_t left = 0;  // pieces not finished
    };

    void work(bool main);
    bool open(int32_t index);
    bool deliver(std::unique_lock<std::mutex>& lock);
    bool takeBatch(Band*& band, std::size_t& from, std::size_t& to);
    void addPieces(Band& band, int32_t frame, int32_t top, int32_t rowFrom, int32_t rowTo,
                   int32_t x) const;
    void fillEmptyPlaces(const Band& band, int32_t end) const;
    void render(const Band& band, const Piece& piece) const;
    Band& slot(int32_t index) { return bands_[index % kOpenBands]; }

    const StripLayout layout_;
    const FrameMaker& maker_;
    StripSink& sink_;
    const int32_t frameW_, frameH_, pixelBytes_;
    const bool opacity_;
    uint8_t empty_[4];  // blue, green, red, opacity of the places without a frame
    int32_t firstFrame_ = 1;
    int32_t frames_ = 0;   // frames of the strip
    int32_t perRow_ = 0;   // frames to a row of the strip
    int32_t columns_ = 0;  // composed part of the sink
    int32_t rows_ = 0;
    int32_t bandRows_ = 1;
    int32_t bandCount_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    Band bands_[kOpenBands];
    int32_t opened_ = 0;
    int32_t delivered_ = 0;
    bool stop_ = false;
    bool failed_ = false;
};

Compositor::Compositor(const StripLayout& layout, FrameRange frames, const FrameMaker& maker,
                       StripSink& sink, uint32_t empty)
    : layout_(layout),
      maker_(maker),
      sink_(sink),
      frameW_(maker.frameWidth()),
      frameH_(maker.frameHeight()),
      pixelBytes_(sink.pixelBytes()),
      opacity_(sink.keepsOpacity() && pixelBytes_ == 4) {
    for (int k = 0; k < 4; ++k) empty_[k] = static_cast<uint8_t>(empty >> (8 * k));
    firstFrame_ = frames.first;
    const int64_t n =
        frames.count < 0 ? int64_t{maker.frameCount()} - frames.first + 1 : frames.count;
    if (n < 1) return;
    frames_ = static_cast<int32_t>(n);
    perRow_ = static_cast<int32_t>(std::min<int64_t>(layout.Columns(n), INT32_MAX));
    const int64_t stripW = layout.Columns(n) * frameW_;
    const int64_t stripH = layout.Rows(n) * frameH_;
    columns_ = static_cast<int32_t>(std::clamp<int64_t>(stripW, 0, std::max(0, sink.width())));
    rows_ = static_cast<int32_t>(std::clamp<int64_t>(stripH, 0, std::max(0, sink.height())));
    if (columns_ == 0 || rows_ == 0) return;
    const int64_t rowBytes = int64_t{columns_} * pixelBytes_;
    bandRows_ = static_cast<int32_t>(std::clamp<int64_t>(sink.bandBytes() / rowBytes, 1, rows_));
    bandCount_ = (rows_ + bandRows_ - 1) / bandRows_;
}

bool Compositor::run(unsigned threads) {
    if (bandCount_ == 0) return true;
    std::vector<std::thread> helpers;
    const unsigned count = threadCount(threads, int64_t{columns_} * rows_);
    for (unsigned t = 1; t < count; ++t) {
        try {
            helpers.emplace_back([this] { work(false); });
        } catch (const std::system_error&) {
            break;  // fewer threads, same strip
        }
    }
    work(true);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    for (auto& helper : helpers) helper.join();
    return !failed_ && maker_.intact();
}

// Every thread builds pieces; the calling thread also opens the bands and
// hands the finished ones to the sink, one band ahead, so that the others
// keep building while the sink writes.
void Compositor::work(bool main) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        if (main) {
            if (delivered_ == bandCount_) break;
            if (opened_ < bandCount_ && opened_ < delivered_ + kOpenBands) {
                const int32_t index = opened_;
                lock.unlock();
                const bool ok = open(index);
                lock.lock();
                if (!ok) {
                    failed_ = stop_ = true;
                    break;
                }
                ++opened_;
                changed_.notify_all();
                continue;
            }
            if (delivered_ < opened_ && slot(delivered_).left == 0) {
                if (!deliver(lock)) break;
                continue;
            }
        }
        Band* band = nullptr;
        std::size_t from = 0, to = 0;
        if (takeBatch(band, from, to)) {
            lock.unlock();
            // A frame cut by the sink's edge needs memory of its own; without
            // it the strip stops as when the sink has none.
            bool rendered = true;
            try {
                for (std::size_t k = from; k < to; ++k) render(*band, band->pieces[k]);
            } catch (const std::bad_alloc&) {
                rendered = false;
            }
            lock.lock();
            band->left -= to - from;
            if (!rendered) failed_ = stop_ = true;
            if (band->left == 0) changed_.notify_all();
            continue;
        }
        if (!main && opened_ == bandCount_) break;  // every piece is taken
        changed_.wait(lock);
    }
    changed_.notify_all();
}

bool Compositor::deliver(std::unique_lock<std::mutex>& lock) {
    const Band& band = slot(delivered_);
    lock.unlock();
    const bool ok = sink_.bandDone(band.first, band.count);
    lock.lock();
    ++delivered_;
    changed_.notify_all();
    if (!ok) failed_ = stop_ = true;
    return ok;
}

// Runs without the lock: the slot is free, its band having been delivered.
bool Compositor::open(int32_t index) {
    Band& band = slot(index);
    int32_t end = 0;
    if (sink_.bottomUp()) {
        end = rows_ - index * bandRows_;
        band.first = std::max(0, end - bandRows_);
    } else {
        band.first = index * bandRows_;
        end = std::min(rows_, band.first + bandRows_);
    }
    band.count = end - band.first;
    band.view = sink_.band(band.first, band.count);
    if (band.view.bits == nullptr) return false;
    band.pieces.clear();
    try {
        // The rows of frames the band crosses, and in each the frames that
        // reach into the sink.
        for (int32_t row = band.first / frameH_; row <= (end - 1) / frameH_; ++row) {
            const int32_t top = row * frameH_;
            for (int32_t column = 0; column < perRow_; ++column) {
                const int64_t k = int64_t{row} * perRow_ + column;
                const int64_t x = int64_t{column} * frameW_;
                if (k >= frames_ || x >= columns_) break;
                addPieces(band, static_cast<int32_t>(firstFrame_ + k), top,
                          std::max(band.first, top) - top, std::min(end, top + frameH_) - top,
                          static_cast<int32_t>(x));
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    fillEmptyPlaces(band, end);
    band.next = 0;
    band.left = band.pieces.size();
    return true;
}

// The short last row of a grid: the places after its last frame.
void Compositor::fillEmptyPlaces(const Band& band, int32_t end) const {
    const int32_t inLastRow = frames_ % perRow_;
    if (inLastRow == 0) return;
    const int32_t top = (frames_ - 1) / perRow_ * frameH_;
    const int64_t from = int64_t{inLastRow} * frameW_;
    for (int32_t y = std::max(band.first, top); y < std::min(end, top + frameH_); ++y) {
        uint8_t* row = band.view.bits + std::ptrdiff_t{y - band.first} * band.view.bytesPerLine;
        for (int64_t x = from; x < columns_; ++x)
            std::memcpy(row + x * pixelBytes_, empty_, static_cast<std::size_t>(pixelBytes_));
    }
}

// Frame rows rowFrom .. rowTo - 1 of a frame whose top row is strip row top,
// cut into pieces of at most kPieceRows.
void Compositor::addPieces(Band& band, int32_t frame, int32_t top, int32_t rowFrom, int32_t rowTo,
                           int32_t x) const {
    const int32_t visible = std::min(frameW_, columns_ - x);
    for (int32_t r = rowFrom; r < rowTo; r += kPieceRows) {
        const int32_t rows = std::min(kPieceRows, rowTo - r);
        band.pieces.push_back({frame, r, rows, top + r - band.first, x, visible});
    }
}

bool Compositor::takeBatch(Band*& band, std::size_t& from, std::size_t& to) {
    for (int32_t b = delivered_; b < opened_; ++b) {
        Band& candidate = slot(b);
        if (candidate.next == candidate.pieces.size()) continue;
        from = to = candidate.next;
        int64_t pixels = 0;
        while (to < candidate.pieces.size() && pixels < kBatchPixels) {
            pixels += int64_t{candidate.pieces[to].rows} * candidate.pieces[to].visible;
            ++to;
        }
        candidate.next = to;
        band = &candidate;
        return true;
    }
    return false;
}

void Compositor::render(const Band& band, const Piece& piece) const {
    const std::ptrdiff_t line = band.view.bytesPerLine;
    uint8_t* dest = band.view.bits + piece.bandRow * line + std::ptrdiff_t{piece.x} * pixelBytes_;
    FrameTarget rows{piece.firstRow, piece.rows, dest, line};
    if (piece.visible == frameW_) {
        maker_.build(piece.frame, rows);
        return;
    }
    // A frame cut off by the sink's edge: built whole-width aside, then the
    // part that fits.
    thread_local std::vector<uint8_t> aside;
    const std::ptrdiff_t asideLine = std::ptrdiff_t{frameW_} * pixelBytes_;
    aside.resize(static_cast<std::size_t>(asideLine * piece.rows));
    rows.dest = aside.data();
    rows.bytesPerLine = asideLine;
    maker_.build(piece.frame, rows);
    for (int32_t r = 0; r < piece.rows; ++r)
        std::memcpy(
            dest + r * line, aside.data() + r * asideLine,
            static_cast<std::size_t>(piece.visible) * static_cast<std::size_t>(pixelBytes_));
}

}  // namespace

bool ComposeFrames(const StripLayout& layout, FrameMaker& maker, StripSink& sink, unsigned threads,
                   FrameRange frames, uint32_t empty) {
    if (maker.frameCount() < 1 || maker.frameWidth() < 1 || maker.frameHeight() < 1 ||
        frames.first < 1)
        return true;
    if (!maker.prepare(sink.pixelBytes(), sink.keepsOpacity() && sink.pixelBytes() == 4))
        return false;
    Compositor compositor(layout, frames, maker, sink, empty);
    return compositor.run(threads);
}

DiscFrames::DiscFrames(const KnobParams& params, Routine RotateMode, const PixelGrid& SrcBits)
    : params_(params), routine_(RotateMode), src_(SrcBits) {}

DiscFrames::~DiscFrames() = default;

bool DiscFrames::prepare(int pixelBytes, bool opacity) {
    if (source_ && pixelBytes == pixelBytes_ && opacity == opacity_) return true;
    pixelBytes_ = pixelBytes;
    opacity_ = opacity;
    source_ = std::make_unique<Source>();
    return prepareSource(src_, pixelBytes, opacity, *source_);
}

void DiscFrames::build(int32_t i, const FrameTarget& target) const {
    AppModul::FrameRows rows{target.first, target.count,   target.dest,       target.bytesPerLine,
                             pixelBytes_,  source_->plain, source_->plainLine};
    rows.opacity = opacity_;
    switch (routine_) {
        case Routine::Bilinear:
            AppModul::RotateFrameBilinear(i, params_, *source_->sampled, rows);
            return;
        case Routine::Nearest:
            AppModul::RotateFrameNearest(i, params_, *source_->sampled, rows);
            return;
        case Routine::Sharp:
            AppModul::RotateFrameSharp(i, params_, *source_->sampled, rows);
            return;
    }
}

bool ComposeStrip(const StripLayout& layout, const KnobParams& params, Routine RotateMode,
                  const PixelGrid& SrcBits, StripSink& sink, unsigned threads, FrameRange frames,
                  uint32_t empty) {
    if (params.FrameCount < 1 || SrcBits.empty() || frames.first < 1) return true;
    DiscFrames maker(params, RotateMode, SrcBits);
    return ComposeFrames(layout, maker, sink, threads, frames, empty);
}

}  // namespace Render
