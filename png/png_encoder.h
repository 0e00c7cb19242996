#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "byte_sink.h"
#include "deflate_pieces.h"
#include "png_compression.h"
#include "png_filter.h"
#include "strip_compositor.h"

struct PngImage {
    int32_t width = 0;  // pixels
    int32_t height = 0;
    // RGBA from four-byte pixels whose fourth byte is the opacity; else RGB
    // from three-byte ones.
    bool alpha = false;
};

// A PNG file of a strip, fed by the compositor band by band (blue-green-red
// pixels, and opacity), written to a byte sink. Each band is filtered and
// compressed on its own on a pool of threads, and the bands' pieces are
// joined into the one zlib stream a PNG holds (see deflate_pieces.h) and
// written as image data chunks in order as soon as each is ready. Memory
// is a few bands per thread, whatever the strip's size.
class PngEncoder final : public StripSink {
public:
    struct Options {
        PngCompression compression = PngCompression::Default;
        unsigned threads = 0;  // 0: one per core
        // About how many bytes of pixels a band holds (at least one row).
        int64_t bandBytes = kBandBytes;
    };
    // Large enough that a band's piece loses little for starting without
    // the bytes before it, small enough that a few per thread stay far
    // below a strip.
    static constexpr int64_t kBandBytes = int64_t{1} << 20;
    // A small strip is cut into bands of at least this much, a few per
    // thread, so that every thread gets some.
    static constexpr int64_t kMinBandBytes = int64_t{64} << 10;

    enum class Failure { None, Sink, NoMemory, Encoder };

    PngEncoder(ByteSink& out, const PngImage& image, const Options& options);
    ~PngEncoder() override;
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    // The signature and the header chunks; starts the threads.
    bool begin();
    // Waits for every band, then writes the end of the image data and the
    // end chunk. False when anything failed (failure() says what) or rows
    // are missing.
    bool finish();
    Failure failure() const;

    int32_t width() const override { return image_.width; }
    int32_t height() const override { return image_.height; }
    int pixelBytes() const override { return bpp_; }
    bool keepsOpacity() const override { return image_.alpha; }
    int64_t bandBytes() const override { return bandBytes_; }
    // Bands may have no rows; they add nothing.
    BandView band(int32_t first, int32_t count) override;
    bool bandDone(int32_t first, int32_t count) override;

private:
    struct Job;
    struct Worker;

    void work(Worker& worker);
    bool runOne(Worker& worker, std::unique_lock<std::mutex>& lock);
    Deflate::Outcome encode(Worker& worker, Job& job);
    const uint8_t* rgbRows(Worker& worker, Job& job) const;
    bool filterBand(PngFilters::Rule rule, const Job& job, const uint8_t* prior,
                    Deflate::Buffer& into) const;
    void writeReady(std::unique_lock<std::mutex>& lock);
    bool writePiece(const Job& job);
    void fail(Failure why);
    void stopWorkers();

    ByteSink& out_;
    const PngImage image_;
    const Options options_;
    const int bpp_;
    const std::size_t rowBytes_;
    const unsigned threads_;  // compressing, at most
    const int64_t bandBytes_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Job> jobs_;  // a ring: band k in jobs_[k % size]
    std::vector<std::unique_ptr<Worker>> workers_;
    int64_t opened_ = 0, queued_ = 0, taken_ = 0, written_ = 0;
    bool writing_ = false, stopping_ = false;
    Failure failure_ = Failure::None;

    // Touched only by the compositor's thread.
    std::vector<uint8_t> lastRow_;  // the last row handed on, as it came
    int64_t rowsDone_ = 0;

    // Touched only by the thread that writes.
    bool headWritten_ = false;
    uint32_t adler_ = 1;
};
