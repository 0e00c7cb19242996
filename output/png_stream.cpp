#include "png_stream.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "safe_file.h"

namespace {

// libdeflate's fastest level: within a few per cent of the common encoders'
// default size on knob strips, at a fraction of their time.
constexpr int kLevel = 1;
// zlib's level that comes closest to that size, for the streamed strips.
constexpr int kStreamLevel = 3;
// Image data chunks of this size (the last one shorter).
constexpr std::size_t kChunkBytes = 256 * 1024;
constexpr uint8_t kFilterSub = 1;
// 100 dots per inch, as the program's PNG files have always said.
constexpr uint32_t kPixelsPerMetre = 3937;

void putBig32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

// One row of blue-green-red-opacity pixels as a "Sub"-filtered RGBA row.
void filterRowAlpha(const uint8_t* bgra, int32_t width, uint8_t* out) {
    out[0] = kFilterSub;
    uint8_t* o = out + 1;
    o[0] = bgra[2];
    o[1] = bgra[1];
    o[2] = bgra[0];
    o[3] = bgra[3];
    for (int32_t x = 1; x < width; ++x) {
        const uint8_t* p = bgra + x * 4;
        uint8_t* q = o + x * 4;
        q[0] = static_cast<uint8_t>(p[2] - p[-2]);
        q[1] = static_cast<uint8_t>(p[1] - p[-3]);
        q[2] = static_cast<uint8_t>(p[0] - p[-4]);
        q[3] = static_cast<uint8_t>(p[3] - p[-1]);
    }
}

// One row of blue-green-red pixels as a "Sub"-filtered RGB row.
void filterRow(const uint8_t* bgr, int32_t width, uint8_t* out) {
    out[0] = kFilterSub;
    uint8_t* o = out + 1;
    o[0] = bgr[2];
    o[1] = bgr[1];
    o[2] = bgr[0];
    for (int32_t x = 1; x < width; ++x) {
        const uint8_t* p = bgr + x * 3;
        uint8_t* q = o + x * 3;
        q[0] = static_cast<uint8_t>(p[2] - p[-1]);
        q[1] = static_cast<uint8_t>(p[1] - p[-2]);
        q[2] = static_cast<uint8_t>(p[0] - p[-3]);
    }
}

}  // namespace

// zlib's deflate over the rows as they come.
class PngSink::Stream {
public:
    bool start() { return deflateInit(&z_, kStreamLevel) == Z_OK && (ready_ = true); }
    ~Stream() {
        if (ready_) deflateEnd(&z_);
    }
    // Feeds the bytes; hands each full output buffer to `out`.
    template <typename Out>
    bool feed(const uint8_t* data, std::size_t size, bool last, Out&& out) {
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = static_cast<uInt>(size);
        for (;;) {
            z_.next_out = buffer_;
            z_.avail_out = sizeof buffer_;
            const int r = deflate(&z_, last ? Z_FINISH : Z_NO_FLUSH);
            if (r == Z_STREAM_ERROR) {
                refused_ = true;
                return false;
            }
            if (!out(buffer_, sizeof buffer_ - z_.avail_out)) return false;
            if (last ? r == Z_STREAM_END : z_.avail_out != 0) return true;
        }
    }

    bool refused() const { return refused_; }

private:
    z_stream z_{};
    bool ready_ = false;
    bool refused_ = false;
    uint8_t buffer_[64 * 1024];
};

PngSink::PngSink(SafeFile& file, int32_t width, int32_t height, std::int64_t wholeLimit, bool alpha)
    : file_(file),
      width_(width),
      height_(height),
      wholeLimit_(wholeLimit),
      channels_(alpha ? 4 : 3),
      line_(1 + static_cast<std::size_t>(width) * static_cast<std::size_t>(channels_)) {}

PngSink::~PngSink() = default;

bool PngSink::chunk(const char* type, const uint8_t* data, std::size_t size) {
    uint8_t head[8], tail[4];
    putBig32(head, static_cast<uint32_t>(size));
    std::memcpy(head + 4, type, 4);
    uint32_t crc = libdeflate_crc32(0, head + 4, 4);
    if (size > 0) crc = libdeflate_crc32(crc, data, size);  // a null buffer restarts it
    putBig32(tail, crc);
    return file_.write(head, 8) && file_.write(data, size) && file_.write(tail, 4);
}

bool PngSink::begin() {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uint8_t header[13] = {};
    putBig32(header, static_cast<uint32_t>(width_));
    putBig32(header + 4, static_cast<uint32_t>(height_));
    header[8] = 8;                       // bits per channel
    header[9] = channels_ == 4 ? 6 : 2;  // colour type: RGBA or RGB
    uint8_t density[9] = {};
    putBig32(density, kPixelsPerMetre);
    putBig32(density + 4, kPixelsPerMetre);
    density[8] = 1;  // per metre
    const auto whole = static_cast<int64_t>(line_) * height_;
    try {
        pending_.reserve(kChunkBytes);
        if (whole <= wholeLimit_) {
            // Not value-initialised: pages are touched as the rows arrive.
            picture_.reset(new uint8_t[static_cast<std::size_t>(whole)]);
        } else {
            stream_ = std::make_unique<Stream>();
            if (!stream_->start()) throw std::bad_alloc();
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return file_.write(signature, sizeof signature) && chunk("IHDR", header, sizeof header) &&
           chunk("pHYs", density, sizeof density);
}

BandView PngSink::band(int32_t, int32_t count) {
    std::vector<uint8_t>& buffer = bands_[opened_++ % 2];
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * channels_;
    const std::size_t bytes = static_cast<std::size_t>(count) * rowBytes;
    try {
        if (buffer.size() < bytes) buffer.resize(bytes);
    } catch (const std::bad_alloc&) {
        return {};
    }
    return {buffer.data(), static_cast<std::ptrdiff_t>(rowBytes)};
}

bool PngSink::bandDone(int32_t, int32_t count) {
    const std::vector<uint8_t>& buffer = bands_[done_++ % 2];
    const std::size_t bytes = line_ * static_cast<std::size_t>(count);
    uint8_t* out = picture_ ? picture_.get() + filled_ : nullptr;
    if (stream_) {
        try {
            if (bandRows_.size() < bytes) bandRows_.resize(bytes);
        } catch (const std::bad_alloc&) {
            return false;
        }
        out = bandRows_.data();
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * channels_;
    const auto filter = channels_ == 4 ? &filterRowAlpha : &filterRow;
    for (std::size_t r = 0; r < static_cast<std::size_t>(count); ++r)
        filter(buffer.data() + r * rowBytes, width_, out + r * line_);
    filled_ += bytes;
    if (!stream_) return true;
    if (stream_->feed(out, bytes, false,
                      [this](const uint8_t* d, std::size_t n) { return imageData(d, n, false); }))
        return true;
    encoderFailed_ = stream_->refused();
    return false;
}

// Image data in chunks of kChunkBytes; write-back of each starts at once.
bool PngSink::imageData(const uint8_t* data, std::size_t size, bool last) {
    while (size > 0) {
        const std::size_t take = std::min(size, kChunkBytes - pending_.size());
        pending_.insert(pending_.end(), data, data + take);
        data += take;
        size -= take;
        if (pending_.size() == kChunkBytes) {
            if (!chunk("IDAT", pending_.data(), pending_.size())) return false;
            file_.startWriteBack();
            pending_.clear();
        }
    }
    if (!last || pending_.empty()) return true;
    const bool ok = chunk("IDAT", pending_.data(), pending_.size());
    pending_.clear();
    return ok;
}

bool PngSink::deflateWhole() {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(kLevel);
    if (compressor == nullptr) {
        return false;
    }
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor, filled_);
    // Not value-initialised: only the pages the compressor fills are touched.
    const std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[bound]);
    std::size_t size = 0;
    if (out) size = libdeflate_zlib_compress(compressor, picture_.get(), filled_, out.get(), bound);
    libdeflate_free_compressor(compressor);
    picture_.reset();
    if (size == 0) {
        encoderFailed_ = out != nullptr;
        return false;
    }
    return imageData(out.get(), size, true);
}

bool PngSink::finish() {
    bool data = false;
    if (stream_) {
        const auto out = [this](const uint8_t* d, std::size_t n) { return imageData(d, n, false); };
        data = stream_->feed(nullptr, 0, true, out) && imageData(nullptr, 0, true);
        encoderFailed_ = stream_->refused();
    } else {
        data = deflateWhole();
    }
    return data && chunk("IEND", nullptr, 0);
}
