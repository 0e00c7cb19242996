// The yardstick for whole-process timings of torvelink-cli: the same strip
// built the plain way, in one thread, no vector instructions. Reads an
// uncompressed 24-bit BMP, renders frame after frame with the per-pixel
// transcription of the rotation, copies each into a whole 32-bit strip and
// writes that as a 24-bit BMP with fwrite, header bytes as torvelink-cli
// writes them.
//
//   reference_strip IN.bmp OUT.bmp FRAMES RADIUS ANGLE [h|v] [nearest]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "reference_rotation.h"

using namespace Engine;

namespace {

uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool readBmp24(const char* path, PixelGrid& grid) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    unsigned char head[54];
    bool ok = std::fread(head, 1, 54, f) == 54 && head[0] == 'B' && head[1] == 'M' &&
              head[28] == 24 && le32(head + 30) == 0;
    const auto w = static_cast<int32_t>(le32(head + 18));
    const auto h = static_cast<int32_t>(le32(head + 22));
    if (ok) ok = w > 0 && h > 0 && std::fseek(f, static_cast<long>(le32(head + 10)), SEEK_SET) == 0;
    if (ok) {
        grid.allocate(w, h);
        std::vector<unsigned char> row(static_cast<std::size_t>((w * 3 + 3) & ~3));
        for (int32_t y = h; y >= 1 && ok; --y) {
            ok = std::fread(row.data(), 1, row.size(), f) == row.size();
            for (int32_t x = 1; x <= w; ++x)
                for (int c = 1; c <= 3; ++c)
                    grid(c, x, y) = row[static_cast<std::size_t>((x - 1) * 3 + c - 1)];
        }
    }
    std::fclose(f);
    return ok;
}

void put32(unsigned char* p, uint32_t v) {
    for (int k = 0; k < 4; ++k) p[k] = static_cast<unsigned char>(v >> (8 * k));
}

bool writeBmp24(const char* path, const std::vector<unsigned char>& strip, int32_t w, int32_t h) {
    const uint32_t line = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    unsigned char head[54] = {'B', 'M'};
    put32(head + 2, 54 + line * static_cast<uint32_t>(h));
    put32(head + 10, 54);
    put32(head + 14, 40);
    put32(head + 18, static_cast<uint32_t>(w));
    put32(head + 22, static_cast<uint32_t>(h));
    head[26] = 1;
    head[28] = 24;
    put32(head + 34, line * static_cast<uint32_t>(h));
    put32(head + 38, 3937);
    put32(head + 42, 3937);
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(head, 1, 54, f) == 54;
    std::vector<unsigned char> row(line, 0);
    for (int32_t y = h - 1; y >= 0 && ok; --y) {
        const unsigned char* in =
            strip.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 4;
        for (int32_t x = 0; x < w; ++x)
            std::memcpy(&row[static_cast<std::size_t>(x) * 3], in + x * 4, 3);
        ok = std::fwrite(row.data(), 1, line, f) == line;
    }
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr,
                     "reference_strip IN.bmp OUT.bmp FRAMES RADIUS ANGLE [h|v] [nearest]\n");
        return 2;
    }
    PixelGrid src, frame;
    if (!readBmp24(argv[1], src)) return 1;
    const KnobParams p{std::atoi(argv[3]), std::strtof(argv[4], nullptr),
                       std::strtof(argv[5], nullptr)};
    const bool vertical = argc > 6 && argv[6][0] == 'v';
    const bool bilinear = !(argc > 7 && std::strcmp(argv[7], "nearest") == 0);
    const int32_t W = src.width(), H = src.height();
    const int32_t sw = vertical ? W : W * p.FrameCount, sh = vertical ? H * p.FrameCount : H;
    std::vector<unsigned char> strip(static_cast<std::size_t>(sw) * static_cast<std::size_t>(sh) *
                                     4);
    for (int32_t i = 1; i <= p.FrameCount; ++i) {
        reference::RotateFrame(bilinear, i, p, src, frame);
        const int32_t left = vertical ? 0 : (i - 1) * W, top = vertical ? (i - 1) * H : 0;
        for (int32_t y = 0; y < H; ++y)
            std::memcpy(&strip[(static_cast<std::size_t>(top + y) * static_cast<std::size_t>(sw) +
                                static_cast<std::size_t>(left)) *
                               4],
                        frame.data() + frame.offset(1, 1, y + 1), static_cast<std::size_t>(W) * 4);
    }
    return writeBmp24(argv[2], strip, sw, sh) ? 0 : 1;
}
