#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace Png {

// One zlib stream made of pieces compressed apart, on any thread, in any
// order: each piece is raw deflate blocks of which none is final and the
// last ends on a byte boundary, so the pieces join end to end; the stream
// has a head before them and a tail after them, and its checksum is the
// pieces' checksums combined. Parallel gzip joins its blocks this way.
namespace Deflate {

// Bytes that grow without being cleared: an encoder's output buffer is
// sized for the worst case, and only the pages it writes are touched.
struct Buffer {
    std::unique_ptr<uint8_t[]> bytes;
    std::size_t size = 0;
    std::size_t capacity = 0;

    // Room for at least n bytes, keeping the first `size`. False: no memory.
    bool reserve(std::size_t n);
    uint8_t* end() { return bytes.get() + size; }
};

// ISA-L's deflate ends a piece on a byte boundary itself (levels 0 to 3,
// very fast); libdeflate (levels 1 to 12, smaller files) makes whole streams,
// which ContinueStream turns into pieces.
enum class Engine { Isal, Libdeflate };

enum class Outcome { Done, NoMemory, Refused };

class PieceEncoder {
public:
    // nullptr when the memory for it lacks or the level is not the engine's.
    static std::unique_ptr<PieceEncoder> Make(Engine engine, int level);
    virtual ~PieceEncoder() = default;

    // in[0 .. size) as a piece, appended to out. An empty input gives an
    // empty piece.
    virtual Outcome encode(const uint8_t* in, std::size_t size, Buffer& out) = 0;
};

// The two bytes before the first piece: deflate, 32 KiB window, and the
// level's class (0 fastest .. 3 smallest), which readers only show.
std::array<uint8_t, 2> StreamHead(int levelClass);
// The bytes after the last piece: an empty final block and the Adler-32 of
// all the data.
std::array<uint8_t, 6> StreamTail(uint32_t adler);

// Adler-32 of data continuing `adler` (1 for none yet).
uint32_t Adler32(uint32_t adler, const uint8_t* data, std::size_t size);
// The Adler-32 of two pieces of data one after the other, from theirs.
uint32_t CombineAdler32(uint32_t first, uint32_t second, std::size_t secondBytes);

// A whole raw deflate stream in data[0 .. size) made a piece: its final
// block's flag cleared, and an empty stored block after it, which ends on a
// byte boundary. Needs room for 5 more bytes. The piece's size, or 0 when
// the data is not one whole deflate stream.
std::size_t ContinueStream(uint8_t* data, std::size_t size);

}  // namespace Deflate

}  // namespace Png
