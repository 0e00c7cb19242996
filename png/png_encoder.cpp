#include "png_encoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <system_error>
#include <utility>

#include "png_chunks.h"

namespace Png {

namespace {

// What each level does, chosen by measurement (bench/README.md). ISA-L is
// three to four times as fast as libdeflate's fastest level, but its files
// are 17 % (shaded) to 47 % (transparent) larger than Pillow's; libdeflate's
// level 4 is the fastest that stays within 10 % of them, faster than zlib at
// any size; its level 12 is the smallest there is, at a few megabytes a
// second. On knob strips "Sub" on every row deflates smaller than the rows'
// own choice (the smallest sum of absolute differences), which wins on
// noise.
struct Settings {
    Deflate::Engine engine;
    int level;
    PngFilters::Rule rule;
    bool trialAdaptive;  // each band also with its rows' own filters; the smaller piece wins
    int levelClass;      // what the stream's head says of the level (0 .. 3)
    // Bands that look like noise get their rows' own filters and ISA-L's
    // level 1: no engine makes them much smaller, and libdeflate takes
    // several times as long on them.
    bool fastOnNoise;
};

Settings settingsFor(PngCompression compression) {
    using enum PngFilters::Rule;
    switch (compression) {
        case PngCompression::Fast:
            return {Deflate::Engine::Isal, 1, Sub, false, 0, false};
        case PngCompression::Small:
            return {Deflate::Engine::Libdeflate, 12, Sub, true, 3, false};
        case PngCompression::Default:
            break;
    }
    return {Deflate::Engine::Libdeflate, 4, Sub, false, 2, true};
}

// Filtered bytes with more than this many bits of information each (order
// 0, from a sample) count as noise.
constexpr double kNoiseBits = 7.0;

bool looksLikeNoise(const uint8_t* bytes, std::size_t size) {
    // Eight bytes of every 64: enough for the estimate, cheap beside deflate.
    uint32_t counts[256] = {};
    std::size_t sampled = 0;
    for (std::size_t at = 0; at + 8 <= size; at += 64, sampled += 8)
        for (std::size_t k = 0; k < 8; ++k) ++counts[bytes[at + k]];
    if (sampled < 4096) return false;
    double bits = 0.0;
    for (uint32_t c : counts)
        if (c != 0)
            bits -= static_cast<double>(c) *
                    std::log2(static_cast<double>(c) / static_cast<double>(sampled));
    return bits / static_cast<double>(sampled) > kNoiseBits;
}

// Beyond this many threads a strip's bands are too few to share out.
constexpr unsigned kMaxThreads = 16;
// A small strip's bands: this many per thread.
constexpr int64_t kBandsPerThread = 4;

}  // namespace

struct PngEncoder::Job {
    enum class State { Free, Filling, Queued, Working, Done };
    State state = State::Free;
    std::unique_ptr<uint8_t[]> pixels;  // the band's rows, as they were filled
    std::size_t capacity = 0;
    int32_t first = 0;  // the rows lent
    int32_t rows = 0;
    std::vector<uint8_t> prior;  // the row above the band, as it came
    bool hasPrior = false;       // false: the picture's first rows, zeros above
    Deflate::Buffer piece;
    uint32_t adler = 1;        // of the filtered rows
    std::size_t filtered = 0;  // their bytes
};

struct PngEncoder::Worker {
    std::thread thread;
    std::unique_ptr<Deflate::PieceEncoder> encoder;
    std::unique_ptr<Deflate::PieceEncoder> noiseEncoder;  // see Settings::fastOnNoise
    Deflate::Buffer filtered, trial, trialPiece;
    std::vector<uint8_t> zeros;
};

PngEncoder::PngEncoder(ByteSink& out, const PngImage& image, const Options& options)
    : out_(out),
      image_(image),
      options_(options),
      bpp_(image.alpha ? 4 : 3),
      rowBytes_(static_cast<std::size_t>(std::max(0, image.width)) * (image.alpha ? 4u : 3u)),
      threads_(std::min(kMaxThreads, options.threads != 0
                                         ? options.threads
                                         : std::max(1u, std::thread::hardware_concurrency()))),
      bandBytes_(std::min(
          options.bandBytes,
          std::max(kMinBandBytes, static_cast<int64_t>(rowBytes_) * std::max(0, image.height) /
                                      (kBandsPerThread * threads_)))) {}

PngEncoder::~PngEncoder() {
    stopWorkers();
}

bool PngEncoder::begin() {
    const auto header = PngChunks::ImageHeader(static_cast<uint32_t>(image_.width),
                                               static_cast<uint32_t>(image_.height), image_.alpha);
    const auto density = PngChunks::PixelDensity(image_.pixelsPerMetre);
    if (!PngChunks::WriteSignature(out_) || !PngChunks::WriteChunk(out_, "IHDR", header) ||
        (image_.pixelsPerMetre != 0 && !PngChunks::WriteChunk(out_, "pHYs", density))) {
        fail(Failure::Sink);
        return false;
    }
    const int64_t rowBytes = std::max<int64_t>(1, static_cast<int64_t>(rowBytes_));
    const int64_t bandRows =
        std::clamp<int64_t>(bandBytes_ / rowBytes, 1, std::max(1, image_.height));
    const int64_t bands = (std::max(1, image_.height) + bandRows - 1) / bandRows;
    const auto threads = static_cast<unsigned>(std::min<int64_t>(threads_, bands));
    try {
        jobs_ = std::vector<Job>(threads + kOpenBands);
        for (unsigned t = 0; t < threads; ++t) workers_.push_back(std::make_unique<Worker>());
    } catch (const std::bad_alloc&) {
        fail(Failure::NoMemory);
        return false;
    }
    for (auto& worker : workers_) {
        try {
            worker->thread = std::thread([this, w = worker.get()] { work(*w); });
        } catch (const std::system_error&) {
            break;  // fewer threads; with none, rowsFilled compresses each band itself
        }
    }
    return true;
}

PngRows PngEncoder::rows(int32_t first, int32_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (failure_ != Failure::None) return {};
    if (jobs_.empty() || first != rowsLent_ || count < 0 || count > image_.height - first) {
        fail(Failure::Encoder);  // before begin(), or rows out of order: no picture
        return {};
    }
    Job& job = jobs_[static_cast<std::size_t>(opened_) % jobs_.size()];
    changed_.wait(lock, [&] { return job.state == Job::State::Free || failure_ != Failure::None; });
    if (failure_ != Failure::None) return {};
    job.state = Job::State::Filling;
    ++opened_;
    lock.unlock();
    job.first = first;
    job.rows = count;
    rowsLent_ += count;
    const std::size_t bytes = std::max<std::size_t>(1, static_cast<std::size_t>(count) * rowBytes_);
    if (job.capacity < bytes) {
        // Not value-initialised: the rows' maker fills every byte.
        job.pixels.reset(new (std::nothrow) uint8_t[bytes]);
        job.capacity = job.pixels ? bytes : 0;
        if (!job.pixels) {
            lock.lock();
            fail(Failure::NoMemory);
            return {};
        }
    }
    return {job.pixels.get(), rowBytes_};
}

bool PngEncoder::rowsFilled(int32_t first, int32_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    Job* lent =
        queued_ == opened_ ? nullptr : &jobs_[static_cast<std::size_t>(queued_) % jobs_.size()];
    if (lent == nullptr || first != lent->first || count != lent->rows) {
        fail(Failure::Encoder);  // not the band lent next: its rows would land elsewhere
        return false;
    }
    Job& job = *lent;
    lock.unlock();
    job.hasPrior = rowsDone_ > 0;
    bool copied = true;
    if (count > 0) {
        try {
            if (job.hasPrior) job.prior = lastRow_;
            const uint8_t* last =
                job.pixels.get() + static_cast<std::size_t>(count - 1) * rowBytes_;
            lastRow_.assign(last, last + rowBytes_);
        } catch (const std::bad_alloc&) {
            copied = false;
        }
        rowsDone_ += count;
    }
    lock.lock();
    if (!copied) fail(Failure::NoMemory);
    job.state = Job::State::Queued;
    ++queued_;
    changed_.notify_all();
    if (!workers_.empty() && !workers_.front()->thread.joinable())
        while (runOne(*workers_.front(), lock)) {
        }
    return failure_ == Failure::None;
}

void PngEncoder::work(Worker& worker) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (runOne(worker, lock)) continue;
        if (stopping_) return;
        changed_.wait(lock);
    }
}

// Takes the next queued band, if any, and compresses it without the lock.
bool PngEncoder::runOne(Worker& worker, std::unique_lock<std::mutex>& lock) {
    if (taken_ == queued_) return false;
    Job& job = jobs_[static_cast<std::size_t>(taken_++) % jobs_.size()];
    job.state = Job::State::Working;
    const bool skip = failure_ != Failure::None;
    lock.unlock();
    auto outcome = Deflate::Outcome::Done;
    if (!skip) {
        const Settings s = settingsFor(options_.compression);
        if (!worker.encoder) worker.encoder = Deflate::PieceEncoder::Make(s.engine, s.level);
        outcome = worker.encoder ? encode(worker, job) : Deflate::Outcome::NoMemory;
    }
    lock.lock();
    if (outcome == Deflate::Outcome::NoMemory) fail(Failure::NoMemory);
    if (outcome == Deflate::Outcome::Refused) fail(Failure::Encoder);
    job.state = Job::State::Done;
    writeReady(lock);
    changed_.notify_all();
    return true;
}

// The band's rows (and the row above them) as red-green-blue, in place;
// the row above, or zeros for the picture's first rows. nullptr: no memory.
const uint8_t* PngEncoder::rgbRows(Worker& worker, Job& job) const {
    const auto width = static_cast<std::size_t>(image_.width);
    PngFilters::SwapRedBlue(job.pixels.get(), static_cast<std::size_t>(job.rows) * width, bpp_);
    if (job.hasPrior) {
        PngFilters::SwapRedBlue(job.prior.data(), width, bpp_);
        return job.prior.data();
    }
    try {
        worker.zeros.resize(rowBytes_);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return worker.zeros.data();
}

bool PngEncoder::filterBand(PngFilters::Rule rule, const Job& job, const uint8_t* prior,
                            Deflate::Buffer& into) const {
    const std::size_t bytes = static_cast<std::size_t>(job.rows) * (rowBytes_ + 1);
    if (!into.reserve(std::max<std::size_t>(1, bytes))) return false;
    PngFilters::FilterRows(rule, bpp_, job.pixels.get(), static_cast<std::ptrdiff_t>(rowBytes_),
                           job.rows, rowBytes_, prior, into.bytes.get());
    into.size = bytes;
    return true;
}

Deflate::Outcome PngEncoder::encode(Worker& worker, Job& job) {
    using enum Deflate::Outcome;
    job.piece.size = 0;
    job.adler = 1;
    job.filtered = 0;
    if (job.rows == 0) return Done;
    const Settings s = settingsFor(options_.compression);
    const uint8_t* prior = rgbRows(worker, job);
    if (prior == nullptr || !filterBand(s.rule, job, prior, worker.filtered)) return NoMemory;
    Deflate::Buffer* chosen = &worker.filtered;
    Deflate::PieceEncoder* encoder = worker.encoder.get();
    if (s.fastOnNoise && looksLikeNoise(chosen->bytes.get(), chosen->size)) {
        if (!worker.noiseEncoder)
            worker.noiseEncoder = Deflate::PieceEncoder::Make(Deflate::Engine::Isal, 1);
        if (!worker.noiseEncoder ||
            !filterBand(PngFilters::Rule::Adaptive, job, prior, worker.filtered))
            return NoMemory;
        encoder = worker.noiseEncoder.get();
    }
    auto outcome = encoder->encode(chosen->bytes.get(), chosen->size, job.piece);
    if (outcome != Done) return outcome;
    if (s.trialAdaptive) {
        if (!filterBand(PngFilters::Rule::Adaptive, job, prior, worker.trial)) return NoMemory;
        worker.trialPiece.size = 0;
        outcome = encoder->encode(worker.trial.bytes.get(), worker.trial.size, worker.trialPiece);
        if (outcome != Done) return outcome;
        if (worker.trialPiece.size < job.piece.size) {
            std::swap(job.piece, worker.trialPiece);
            chosen = &worker.trial;
        }
    }
    job.adler = Deflate::Adler32(1, chosen->bytes.get(), chosen->size);
    job.filtered = chosen->size;
    return Done;
}

// Whichever thread finishes the next band in order writes it, and any that
// finished before it, outside the lock; the others go on compressing.
void PngEncoder::writeReady(std::unique_lock<std::mutex>& lock) {
    if (writing_) return;
    writing_ = true;
    while (failure_ == Failure::None && written_ < queued_) {
        Job& job = jobs_[static_cast<std::size_t>(written_) % jobs_.size()];
        if (job.state != Job::State::Done) break;
        lock.unlock();
        const bool ok = writePiece(job);
        lock.lock();
        if (!ok) fail(Failure::Sink);
        job.state = Job::State::Free;
        ++written_;
        changed_.notify_all();
    }
    writing_ = false;
}

bool PngEncoder::writePiece(const Job& job) {
    adler_ = Deflate::CombineAdler32(adler_, job.adler, job.filtered);
    if (job.piece.size == 0) return true;
    const auto head = Deflate::StreamHead(settingsFor(options_.compression).levelClass);
    const std::span<const uint8_t> before = headWritten_ ? std::span<const uint8_t>() : head;
    headWritten_ = true;
    return PngChunks::WriteChunk(out_, "IDAT", before, {job.piece.bytes.get(), job.piece.size});
}

bool PngEncoder::finish() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return written_ == queued_ || failure_ != Failure::None; });
        if (failure_ == Failure::None && (rowsDone_ != image_.height || opened_ != queued_))
            fail(Failure::Encoder);  // rows missing: no file that looks whole
    }
    stopWorkers();
    if (failure() != Failure::None) return false;
    const auto head = Deflate::StreamHead(settingsFor(options_.compression).levelClass);
    const auto tail = Deflate::StreamTail(adler_);
    const std::span<const uint8_t> before = headWritten_ ? std::span<const uint8_t>() : head;
    if (PngChunks::WriteChunk(out_, "IDAT", before, tail) &&
        PngChunks::WriteChunk(out_, "IEND", {}))
        return true;
    const std::lock_guard<std::mutex> lock(mutex_);
    fail(Failure::Sink);
    return false;
}

PngEncoder::Failure PngEncoder::failure() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

void PngEncoder::fail(Failure why) {
    if (failure_ == Failure::None) failure_ = why;
    changed_.notify_all();
}

void PngEncoder::stopWorkers() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (auto& worker : workers_)
        if (worker->thread.joinable()) worker->thread.join();
}

}  // namespace Png
