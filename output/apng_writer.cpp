#include "apng_writer.h"

#include "bmp_header.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <new>

#include "byte_sink.h"
#include "png_chunks.h"
#include "png_encoder.h"
#include "png_strip_sink.h"

using namespace Engine;
using namespace Messages;
using namespace Png;
using namespace Render;

namespace Output {

namespace {

uint32_t big32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// The image data of a PNG file (its IDAT chunks joined: one zlib stream),
// or nothing when the bytes are not a PNG file as the encoder writes one.
bool imageData(const std::vector<uint8_t>& png, std::vector<uint8_t>& data) {
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = big32(&png[at]);
        if (length > png.size() - at - 12) return false;
        const uint8_t* type = &png[at + 4];
        if (std::equal(type, type + 4, "IDAT"))
            data.insert(data.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                        png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        if (std::equal(type, type + 4, "IEND")) return !data.empty();
        at += 12 + length;
    }
    return false;
}

// The frame control chunk's 26 data bytes.
std::array<uint8_t, 26> frameControl(uint32_t sequence, uint32_t width, uint32_t height,
                                     uint16_t delayMs) {
    std::array<uint8_t, 26> c{};
    PngChunks::PutBig32(&c[0], sequence);
    PngChunks::PutBig32(&c[4], width);
    PngChunks::PutBig32(&c[8], height);
    // x and y offsets 0; the delay in thousandths of a second.
    c[20] = static_cast<uint8_t>(delayMs >> 8);
    c[21] = static_cast<uint8_t>(delayMs);
    c[22] = 1000 >> 8;
    c[23] = 1000 & 0xFF;
    c[24] = 0;  // dispose: none (the next frame covers it whole)
    c[25] = 0;  // blend: source, so clear pixels stay clear
    return c;
}

}  // namespace

std::vector<int32_t> AnimationFrames(int32_t frames) {
    if (frames <= 1) return {1};
    const int32_t step =
        std::max<int32_t>(1, static_cast<int32_t>(std::ceil(double{kShortestFrameMilliseconds} *
                                                            (frames - 1) / kSweepMilliseconds)));
    std::vector<int32_t> forth;
    for (int32_t i = 1; i < frames; i += step) forth.push_back(i);
    forth.push_back(frames);
    std::vector<int32_t> order = forth;
    for (std::size_t k = forth.size() - 1; k-- > 1;) order.push_back(forth[k]);
    return order;
}

int AnimationDelay(int32_t frames) {
    const std::size_t shown = AnimationFrames(frames).size();
    if (shown <= 1) return kSweepMilliseconds;
    // One sweep is half of the frames shown: forth (the first to the last).
    const double steps = static_cast<double>(shown) / 2.0;
    return static_cast<int>(std::lround(kSweepMilliseconds / steps));
}

Composed WriteAnimation(ByteSink& out, const Frames& frames) {
    Render::FrameMaker& maker = *frames.maker;
    const int32_t w = maker.frameWidth(), h = maker.frameHeight();
    Composed composed{Stop::None, w, h};
    if (w < 1 || h < 1) {
        composed.stop = Stop::TooLarge;
        return composed;
    }
    const std::vector<int32_t> order = AnimationFrames(maker.frameCount());
    const auto delay = static_cast<uint16_t>(AnimationDelay(maker.frameCount()));
    // Each frame compressed once, however often it shows.
    std::map<int32_t, std::vector<uint8_t>> data;
    try {
        for (const int32_t i : order) {
            if (data.count(i) != 0) continue;
            MemorySink png;
            PngEncoder encoder(png, {w, h, frames.alpha, BmpHeader::kPixelsPerMetre},
                               {frames.compression, frames.threads});
            PngStripSink sink(encoder);
            const bool made =
                encoder.begin() &&
                ComposeFrames(StripLayout::Horizontal(), maker, sink, frames.threads, {i, 1}) &&
                encoder.finish();
            if (!made || !imageData(png.bytes, data[i])) {
                composed.stop = encoder.failure() == PngEncoder::Failure::Encoder ? Stop::Encoder
                                                                                  : Stop::NoMemory;
                return composed;
            }
        }
    } catch (const std::bad_alloc&) {
        composed.stop = Stop::NoMemory;
        return composed;
    }
    const auto header =
        PngChunks::ImageHeader(static_cast<uint32_t>(w), static_cast<uint32_t>(h), frames.alpha);
    std::array<uint8_t, 8> animation{};
    PngChunks::PutBig32(&animation[0], static_cast<uint32_t>(order.size()));  // frames
    PngChunks::PutBig32(&animation[4], 0);                                    // loop for ever
    bool ok = PngChunks::WriteSignature(out) && PngChunks::WriteChunk(out, "IHDR", header) &&
              PngChunks::WriteChunk(out, "acTL", animation);
    uint32_t sequence = 0;
    for (std::size_t k = 0; ok && k < order.size(); ++k) {
        const auto control =
            frameControl(sequence++, static_cast<uint32_t>(w), static_cast<uint32_t>(h), delay);
        ok = PngChunks::WriteChunk(out, "fcTL", control);
        const std::vector<uint8_t>& bytes = data[order[k]];
        // The first frame is the picture a reader without animation shows.
        if (ok && k == 0) {
            ok = PngChunks::WriteChunk(out, "IDAT", {}, bytes);
        } else if (ok) {
            std::array<uint8_t, 4> number{};
            PngChunks::PutBig32(number.data(), sequence++);
            ok = PngChunks::WriteChunk(out, "fdAT", number, bytes);
        }
    }
    if (!(ok && PngChunks::WriteChunk(out, "IEND", {}))) composed.stop = SinkStop(out);
    return composed;
}

}  // namespace Output
