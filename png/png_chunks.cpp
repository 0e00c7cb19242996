#include "png_chunks.h"

#include <libdeflate.h>

namespace Png {

namespace PngChunks {

void PutBig32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

bool WriteSignature(ByteSink& sink) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return sink.write(signature, sizeof signature);
}

bool WriteChunk(ByteSink& sink, const char (&type)[5], std::span<const uint8_t> head,
                std::span<const uint8_t> body) {
    const std::size_t size = head.size() + body.size();
    if (size > kMaxChunkBytes) return false;
    uint8_t start[8], end[4];
    PutBig32(start, static_cast<uint32_t>(size));
    for (int k = 0; k < 4; ++k) start[4 + k] = static_cast<uint8_t>(type[k]);
    uint32_t crc = libdeflate_crc32(0, start + 4, 4);
    // An empty buffer is skipped: libdeflate takes a null one as a restart.
    if (!head.empty()) crc = libdeflate_crc32(crc, head.data(), head.size());
    if (!body.empty()) crc = libdeflate_crc32(crc, body.data(), body.size());
    PutBig32(end, crc);
    return sink.write(start, 8) && (head.empty() || sink.write(head.data(), head.size())) &&
           (body.empty() || sink.write(body.data(), body.size())) && sink.write(end, 4);
}

std::array<uint8_t, 13> ImageHeader(uint32_t width, uint32_t height, bool alpha) {
    std::array<uint8_t, 13> header = {};
    PutBig32(header.data(), width);
    PutBig32(header.data() + 4, height);
    header[8] = 8;              // bits per channel
    header[9] = alpha ? 6 : 2;  // colour type: RGBA or RGB
    return header;              // deflate, adaptive filters, no interlacing: zeros
}

std::array<uint8_t, 9> PixelDensity(uint32_t perMetre) {
    std::array<uint8_t, 9> density = {};
    PutBig32(density.data(), perMetre);
    PutBig32(density.data() + 4, perMetre);
    density[8] = 1;  // the unit is the metre
    return density;
}

}  // namespace PngChunks

}  // namespace Png
