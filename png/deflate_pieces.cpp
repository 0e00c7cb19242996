#include "deflate_pieces.h"

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace Png {

namespace Deflate {

namespace {

class IsalEncoder final : public PieceEncoder {
public:
    explicit IsalEncoder(int level) : level_(static_cast<uint32_t>(level)) {}

    bool start() {
        constexpr uint32_t sizes[] = {0, ISAL_DEF_LVL1_DEFAULT, ISAL_DEF_LVL2_DEFAULT,
                                      ISAL_DEF_LVL3_DEFAULT};
        if (level_ > ISAL_DEF_MAX_LEVEL) return false;
        levelBytes_ = sizes[level_];
        if (levelBytes_ > 0) levelBuffer_.reset(new (std::nothrow) uint8_t[levelBytes_]);
        return levelBytes_ == 0 || levelBuffer_ != nullptr;
    }

    Outcome encode(const uint8_t* in, std::size_t size, Buffer& out) override {
        if (size == 0) return Outcome::Done;
        isal_zstream s;
        isal_deflate_init(&s);
        s.level = level_;
        s.level_buf = levelBuffer_.get();
        s.level_buf_size = levelBytes_;
        s.flush = SYNC_FLUSH;
        s.end_of_stream = 0;
        s.next_in = const_cast<uint8_t*>(in);
        s.avail_in = static_cast<uint32_t>(size);
        // Stored blocks at worst, and the flush's empty block.
        std::size_t room = size + size / 16 + 1024;
        for (;;) {
            if (!out.reserve(out.size + room)) return Outcome::NoMemory;
            s.next_out = out.end();
            s.avail_out = static_cast<uint32_t>(room);
            if (isal_deflate(&s) != COMP_OK) return Outcome::Refused;
            out.size += room - s.avail_out;
            // All input taken and room left over: the flush is complete.
            if (s.avail_in == 0 && s.avail_out != 0) return Outcome::Done;
            room = 64 * 1024;
        }
    }

private:
    uint32_t level_;
    std::unique_ptr<uint8_t[]> levelBuffer_;
    uint32_t levelBytes_ = 0;
};

class LibdeflateEncoder final : public PieceEncoder {
public:
    explicit LibdeflateEncoder(int level) : compressor_(libdeflate_alloc_compressor(level)) {}
    ~LibdeflateEncoder() override { libdeflate_free_compressor(compressor_); }
    LibdeflateEncoder(const LibdeflateEncoder&) = delete;
    LibdeflateEncoder& operator=(const LibdeflateEncoder&) = delete;

    bool ready() const { return compressor_ != nullptr; }

    Outcome encode(const uint8_t* in, std::size_t size, Buffer& out) override {
        if (size == 0) return Outcome::Done;
        const std::size_t bound = libdeflate_deflate_compress_bound(compressor_, size);
        if (!out.reserve(out.size + bound + 5)) return Outcome::NoMemory;
        const std::size_t whole =
            libdeflate_deflate_compress(compressor_, in, size, out.end(), bound);
        const std::size_t piece = whole == 0 ? 0 : ContinueStream(out.end(), whole);
        if (piece == 0) return Outcome::Refused;
        out.size += piece;
        return Outcome::Done;
    }

private:
    libdeflate_compressor* compressor_;
};

void putBig32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

}  // namespace

bool Buffer::reserve(std::size_t n) {
    if (n <= capacity) return true;
    const std::size_t grown = std::max(n, capacity + capacity / 2);
    // Not value-initialised: pages are touched only where bytes are written.
    std::unique_ptr<uint8_t[]> more(new (std::nothrow) uint8_t[grown]);
    if (!more) return false;
    if (size > 0) std::memcpy(more.get(), bytes.get(), size);
    bytes = std::move(more);
    capacity = grown;
    return true;
}

std::unique_ptr<PieceEncoder> PieceEncoder::Make(Engine engine, int level) {
    try {
        if (engine == Engine::Isal) {
            auto encoder = std::make_unique<IsalEncoder>(level);
            if (encoder->start()) return encoder;
        } else {
            auto encoder = std::make_unique<LibdeflateEncoder>(level);
            if (encoder->ready()) return encoder;
        }
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

std::array<uint8_t, 2> StreamHead(int levelClass) {
    constexpr uint8_t kDeflateWindow32K = 0x78;
    auto flags = static_cast<unsigned>(std::clamp(levelClass, 0, 3) << 6);
    flags += 31 - (kDeflateWindow32K * 256u + flags) % 31;
    return {kDeflateWindow32K, static_cast<uint8_t>(flags)};
}

std::array<uint8_t, 6> StreamTail(uint32_t adler) {
    // A final block with fixed codes holding only its end code: ten bits.
    std::array<uint8_t, 6> tail = {0x03, 0x00};
    putBig32(tail.data() + 2, adler);
    return tail;
}

uint32_t Adler32(uint32_t adler, const uint8_t* data, std::size_t size) {
    return size == 0 ? adler : libdeflate_adler32(adler, data, size);
}

uint32_t CombineAdler32(uint32_t first, uint32_t second, std::size_t secondBytes) {
    return static_cast<uint32_t>(adler32_combine(first, second, static_cast<z_off_t>(secondBytes)));
}

}  // namespace Deflate

}  // namespace Png
