// Turns a picture of raw bytes into a vertical strip of raw bytes through
// the strip compositor, for bench/sharp_quality.py, which compares the
// routines with an independent renderer's frames.
//
//   turn_frames ROUTINE W H FRAMES RADIUS START STEP IN OUT
//
// ROUTINE: bilinear, nearest or sharp. IN: W x H pixels of red, green, blue
// and straight opacity (4 bytes each, rows top to bottom); OUT: the strip in
// the same layout, W x (H x FRAMES), the opacity turned with the frames.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "strip_compositor.h"

using namespace Engine;
using namespace Render;

namespace {

class MemorySink final : public StripSink {
public:
    MemorySink(int32_t w, int32_t h)
        : w_(w), h_(h), bytes_(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4) {}
    int32_t width() const override { return w_; }
    int32_t height() const override { return h_; }
    int pixelBytes() const override { return 4; }
    bool keepsOpacity() const override { return true; }
    BandView band(int32_t first, int32_t) override {
        return {bytes_.data() + std::ptrdiff_t{first} * w_ * 4, std::ptrdiff_t{w_} * 4};
    }
    bool bandDone(int32_t, int32_t) override { return true; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    int32_t w_, h_;
    std::vector<uint8_t> bytes_;
};

bool routineNamed(const std::string& name, Routine& routine) {
    for (const Routine r : {Routine::Bilinear, Routine::Nearest, Routine::Sharp})
        if (name == RoutineName(r)) {
            routine = r;
            return true;
        }
    return false;
}

// Red, green, blue to the grid's blue, green, red, and back.
void swapRedBlue(uint8_t* pixels, std::size_t count) {
    for (std::size_t p = 0; p < count; ++p) std::swap(pixels[p * 4], pixels[p * 4 + 2]);
}

}  // namespace

int main(int argc, char** argv) {
    Routine routine{};
    if (argc != 10 || !routineNamed(argv[1], routine)) {
        std::fprintf(stderr,
                     "usage: turn_frames bilinear|nearest|sharp W H FRAMES RADIUS START "
                     "STEP IN OUT\n");
        return 2;
    }
    const int32_t w = std::atoi(argv[2]), h = std::atoi(argv[3]);
    const KnobParams params{std::atoi(argv[4]), std::strtof(argv[5], nullptr),
                            std::strtof(argv[7], nullptr), std::strtof(argv[6], nullptr)};
    std::ifstream in(argv[8], std::ios::binary);
    const std::vector<uint8_t> raw{std::istreambuf_iterator<char>(in), {}};
    PixelGrid src;
    src.allocate(w, h);
    if (src.empty() || raw.size() != src.byteCount()) {
        std::fprintf(stderr, "turn_frames: %s does not hold %d x %d pixels\n", argv[8], w, h);
        return 1;
    }
    std::memcpy(src.data(), raw.data(), raw.size());
    swapRedBlue(src.data(), raw.size() / 4);
    MemorySink sink(w, h * params.FrameCount);
    ComposeStrip(StripLayout::Vertical(), params, routine, src, sink);
    swapRedBlue(sink.bytes().data(), sink.bytes().size() / 4);
    std::ofstream out(argv[9], std::ios::binary);
    out.write(reinterpret_cast<const char*>(sink.bytes().data()),
              static_cast<std::streamsize>(sink.bytes().size()));
    return out ? 0 : 1;
}
