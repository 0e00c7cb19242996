#include "bmp_header.h"

namespace Output {

namespace BmpHeader {

namespace {

void putLittle(uint8_t* p, uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

uint32_t getLittle(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int k = bytes - 1; k >= 0; --k) v = v << 8 | p[k];
    return v;
}

}  // namespace

uint32_t RowBytes(int32_t width) {
    return (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
}

Bytes Write(int32_t width, int32_t height) {
    const uint32_t image = RowBytes(width) * static_cast<uint32_t>(height);
    Bytes h{};
    h[0] = 'B';
    h[1] = 'M';
    putLittle(&h[2], kBytes + image, 4);  // file size
    putLittle(&h[10], kBytes, 4);         // where the pixels start
    putLittle(&h[14], 40, 4);             // info header size
    putLittle(&h[18], static_cast<uint32_t>(width), 4);
    putLittle(&h[22], static_cast<uint32_t>(height), 4);  // positive: bottom-up
    putLittle(&h[26], 1, 2);                              // planes
    putLittle(&h[28], 24, 2);                             // bits per pixel
    putLittle(&h[34], image, 4);
    putLittle(&h[38], kPixelsPerMetre, 4);
    putLittle(&h[42], kPixelsPerMetre, 4);
    return h;
}

std::optional<Facts> Read(const uint8_t* bytes, std::size_t size) {
    if (size < kBytes) return std::nullopt;
    Facts facts;
    facts.width = static_cast<int32_t>(getLittle(bytes + 18, 4));
    facts.height = static_cast<int32_t>(getLittle(bytes + 22, 4));
    facts.fileSize = getLittle(bytes + 2, 4);
    if (facts.width < 1 || facts.height < 1) return std::nullopt;
    Bytes expected = Write(facts.width, facts.height);
    for (std::size_t k = 0; k < kBytes; ++k)
        if (bytes[k] != expected[k]) return std::nullopt;
    return facts;
}

}  // namespace BmpHeader

}  // namespace Output
