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

namespace Png {

struct PngImage {
    int32_t width = 0;  // pixels
    int32_t height = 0;
    // RGBA from four-byte pixels whose fourth byte is the opacity; else RGB
    // from three-byte ones.
    bool alpha = false;
    // The density the file states, pixels per metre (a pHYs chunk); 0: none.
    uint32_t pixelsPerMetre = 0;
};

// Memory that the encoder lends for a band of rows: `bits` at the band's top
// row, rows `stride` bytes apart, each of PngImage::width pixels in the
// encoder's layout (pixelBytes()). The encoder owns it. bits == nullptr: the
// encoder has stopped, failure() says why.
struct PngRows {
    uint8_t* bits = nullptr;
    std::size_t stride = 0;
};

// A PNG file written to a byte sink from rows that whoever makes the picture
// fills, band by band, top-down, in memory the encoder lends. Each band is
// filtered and compressed on its own on a pool of threads, and the bands'
// pieces are joined into the one zlib stream a PNG holds (see
// deflate_pieces.h) and written as image data chunks in order as soon as
// each is ready. Memory is a few bands per thread, whatever the picture's
// size. One thread lends and takes back the rows.
class PngEncoder final {
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
    // Bands that may be lent at once, besides those being compressed: the
    // rows of the next band are made while the last one is handed back.
    static constexpr std::size_t kOpenBands = 4;

    enum class Failure { None, Sink, NoMemory, Encoder };

    PngEncoder(ByteSink& out, const PngImage& image, const Options& options);
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    // The signature and the header chunks; starts the threads.
    bool begin();
    // Waits for every band, then writes the end of the image data and the
    // end chunk. False when anything failed (failure() says what) or rows
    // are missing.
    bool finish();
    Failure failure() const;

    const PngImage& image() const { return image_; }
    // The rows' pixels: 4 bytes, blue, green, red, opacity, for an image
    // with alpha; else 3, blue, green, red.
    int pixelBytes() const { return bpp_; }
    // About how many bytes of rows a band best holds (at least one row):
    // bands of this size keep every thread busy and compress well.
    int64_t bandBytes() const { return bandBytes_; }

    // Lends memory for rows first .. first + count - 1 (row 0 at the top),
    // first being the row after the bands lent before; every byte of them is
    // to be filled. A band may have no rows; it adds nothing. Up to
    // kOpenBands bands may be out at once (more may wait for ever); a band
    // may wait until an earlier one is written. Rows out of order stop the
    // encoder (Failure::Encoder).
    PngRows rows(int32_t first, int32_t count);
    // The band lent for these rows is filled; bands come back in the order
    // they were lent. False: the encoder has stopped, failure() says why.
    bool rowsFilled(int32_t first, int32_t count);

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

    // Touched only by the thread that fills the rows.
    std::vector<uint8_t> lastRow_;  // the last row handed on, as it came
    int64_t rowsLent_ = 0, rowsDone_ = 0;

    // Touched only by the thread that writes.
    bool headWritten_ = false;
    uint32_t adler_ = 1;
};

}  // namespace Png
