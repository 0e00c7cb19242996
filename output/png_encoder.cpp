#include "png_encoder.h"

#include <algorithm>
#include <array>
#include <new>
#include <system_error>
#include <utility>

#include "png_chunks.h"

namespace {

// What each level does, chosen by measurement (bench/README.md): ISA-L is
// several times faster than any libdeflate level, libdeflate's files are
// far smaller on grained and transparent strips.
struct Settings {
    Deflate::Engine engine;
    int level;
    PngFilters::Rule rule;
    bool trialSub;   // each band also tried with "Sub" on every row; the smaller piece wins
    int levelClass;  // what the stream's head says of the level (0 .. 3)
};

Settings settingsFor(PngCompression compression) {
    using enum PngFilters::Rule;
    switch (compression) {
        case PngCompression::Fast:
            return {Deflate::Engine::Isal, 1, Sub, false, 0};
        case PngCompression::Small:
            return {Deflate::Engine::Libdeflate, 12, Adaptive, true, 3};
        case PngCompression::Default:
            break;
    }
    return {Deflate::Engine::Libdeflate, 4, Adaptive, false, 2};
}

// 100 dots per inch, as the program's PNG files have always said.
constexpr uint32_t kPixelsPerMetre = 3937;
// Beyond this many threads a strip's bands are too few to share out.
constexpr unsigned kMaxThreads = 16;
// Bands that the compositor may hold open besides those being compressed.
constexpr std::size_t kOpenBands = 2;

}  // namespace

struct PngEncoder::Job {
    enum class State { Free, Filling, Queued, Working, Done };
    State state = State::Free;
    std::unique_ptr<uint8_t[]> pixels;  // the band's rows, as the compositor wrote them
    std::size_t capacity = 0;
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
    Deflate::Buffer filtered, trial, trialPiece;
    std::vector<uint8_t> zeros;
};

PngEncoder::PngEncoder(ByteSink& out, const PngImage& image, const Options& options)
    : out_(out),
      image_(image),
      options_(options),
      bpp_(image.alpha ? 4 : 3),
      rowBytes_(static_cast<std::size_t>(std::max(0, image.width)) * (image.alpha ? 4u : 3u)) {}

PngEncoder::~PngEncoder() {
    stopWorkers();
}

bool PngEncoder::begin() {
    const auto header = PngChunks::ImageHeader(static_cast<uint32_t>(image_.width),
                                               static_cast<uint32_t>(image_.height), image_.alpha);
    const auto density = PngChunks::PixelDensity(kPixelsPerMetre);
    if (!PngChunks::WriteSignature(out_) || !PngChunks::WriteChunk(out_, "IHDR", header) ||
        !PngChunks::WriteChunk(out_, "pHYs", density)) {
        fail(Failure::Sink);
        return false;
    }
    const int64_t rowBytes = std::max<int64_t>(1, static_cast<int64_t>(rowBytes_));
    const int64_t bandRows =
        std::clamp<int64_t>(options_.bandBytes / rowBytes, 1, std::max(1, image_.height));
    const int64_t bands = (std::max(1, image_.height) + bandRows - 1) / bandRows;
    const unsigned cores = options_.threads != 0
                               ? options_.threads
                               : std::max(1u, std::thread::hardware_concurrency());
    const auto threads = static_cast<unsigned>(std::min<int64_t>({cores, bands, kMaxThreads}));
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
            break;  // fewer threads; with none, bandDone compresses each band itself
        }
    }
    return true;
}

BandView PngEncoder::band(int32_t, int32_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    Job& job = jobs_[static_cast<std::size_t>(opened_) % jobs_.size()];
    changed_.wait(lock, [&] { return job.state == Job::State::Free || failure_ != Failure::None; });
    if (failure_ != Failure::None) return {};
    job.state = Job::State::Filling;
    ++opened_;
    lock.unlock();
    const std::size_t bytes = std::max<std::size_t>(1, static_cast<std::size_t>(count) * rowBytes_);
    if (job.capacity < bytes) {
        // Not value-initialised: the compositor writes every byte.
        job.pixels.reset(new (std::nothrow) uint8_t[bytes]);
        job.capacity = job.pixels ? bytes : 0;
        if (!job.pixels) {
            lock.lock();
            fail(Failure::NoMemory);
            return {};
        }
    }
    return {job.pixels.get(), static_cast<std::ptrdiff_t>(rowBytes_)};
}

bool PngEncoder::bandDone(int32_t, int32_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    Job& job = jobs_[static_cast<std::size_t>(queued_) % jobs_.size()];
    lock.unlock();
    job.rows = count;
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

Deflate::Outcome PngEncoder::encode(Worker& worker, Job& job) {
    const Settings s = settingsFor(options_.compression);
    const auto width = static_cast<std::size_t>(image_.width);
    uint8_t* pixels = job.pixels.get();
    PngFilters::SwapRedBlue(pixels, static_cast<std::size_t>(job.rows) * width, bpp_);
    const uint8_t* prior = job.prior.data();
    if (job.hasPrior) {
        PngFilters::SwapRedBlue(job.prior.data(), width, bpp_);
    } else {
        try {
            worker.zeros.resize(rowBytes_);
        } catch (const std::bad_alloc&) {
            return Deflate::Outcome::NoMemory;
        }
        prior = worker.zeros.data();
    }
    const std::size_t bytes = static_cast<std::size_t>(job.rows) * (rowBytes_ + 1);
    const auto filterInto = [&](PngFilters::Rule rule, Deflate::Buffer& into) {
        if (!into.reserve(std::max<std::size_t>(1, bytes))) return false;
        PngFilters::FilterRows(rule, bpp_, pixels, static_cast<std::ptrdiff_t>(rowBytes_), job.rows,
                               rowBytes_, prior, into.bytes.get());
        into.size = bytes;
        return true;
    };
    if (!filterInto(s.rule, worker.filtered)) return Deflate::Outcome::NoMemory;
    job.piece.size = 0;
    auto outcome = worker.encoder->encode(worker.filtered.bytes.get(), bytes, job.piece);
    if (outcome != Deflate::Outcome::Done) return outcome;
    const uint8_t* chosen = worker.filtered.bytes.get();
    if (s.trialSub && bytes > 0) {
        if (!filterInto(PngFilters::Rule::Sub, worker.trial)) return Deflate::Outcome::NoMemory;
        worker.trialPiece.size = 0;
        outcome = worker.encoder->encode(worker.trial.bytes.get(), bytes, worker.trialPiece);
        if (outcome != Deflate::Outcome::Done) return outcome;
        if (worker.trialPiece.size < job.piece.size) {
            std::swap(job.piece, worker.trialPiece);
            chosen = worker.trial.bytes.get();
        }
    }
    job.adler = Deflate::Adler32(1, chosen, bytes);
    job.filtered = bytes;
    return Deflate::Outcome::Done;
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
