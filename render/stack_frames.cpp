#include "stack_frames.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "rotation.h"

using namespace Engine;

namespace Render {

namespace {

float channel(uint32_t colour, int shift) {
    return static_cast<float>((colour >> shift) & 0xFFu);
}

// x times a over 255 in float for every pair of bytes (row a, column x):
// what premultiplying a pixel and laying it over another work out, looked
// up rather than divided, the dearest step of laying a layer. Made once.
const float* products() {
    static const std::vector<float> table = [] {
        std::vector<float> t(256 * 256);
        for (std::size_t a = 0; a < 256; ++a)
            for (std::size_t x = 0; x < 256; ++x)
                t[a * 256 + x] = static_cast<float>(x) * static_cast<float>(a) / 255.0f;
        return t;
    }();
    return table.data();
}

// A straight pixel (blue, green, red, opacity bytes) laid over the
// premultiplied one at `to`, its opacity times `alpha`.
inline void over(const uint8_t* straight, float alpha, float* to) {
    // A clear pixel leaves `to` as it was; most of a turned layer's margin
    // is clear.
    if (straight[3] == 0) return;
    const float a = straight[3] * alpha;
    const float scale = alpha == 1.0f ? products()[256 + straight[3]] : a / 255.0f;
    const float keep = 1.0f - scale;
    for (int c = 0; c < 3; ++c) to[c] = straight[c] * scale + to[c] * keep;
    to[3] = a + to[3] * keep;
}

// A premultiplied pixel over another. No test for a clear pixel: its
// channels are all 0 and leave `to` as it was, and without a branch the
// four channels go as one.
inline void overPremultiplied(const float* from, float alpha, float* to) {
    const float keep = 1.0f - from[3] * alpha / 255.0f;
    for (int c = 0; c < 4; ++c) to[c] = from[c] * alpha + to[c] * keep;
}

// A straight pixel in premultiplied colour, blue, green, red, opacity, each
// 0 .. 255: the colours times the opacity over 255 (from products()), the
// opacity itself. Worked out as a layer is laid, not kept: four floats a
// pixel would be most of a stack's memory.
inline void premultiply(const uint8_t* straight, const float* products, float* to) {
    const float* by = products + std::size_t{straight[3]} * 256;
    for (int c = 0; c < 3; ++c) to[c] = by[straight[c]];
    to[3] = straight[3];
}

// The nearest byte, halves to even. Adding and taking away 2^52 rounds as
// nearbyint() does in the default rounding mode, without a call.
uint8_t toByte(double v) {
    return static_cast<uint8_t>((std::clamp(v, 0.0, 255.0) + 0x1p52) - 0x1p52);
}

}  // namespace

// What a turning layer needs ready before frames are built: its pixels on a
// clear margin that puts its pivot at the middle with room to turn whole.
struct StackFrames::Prepared {
    PixelGrid padded;
    int32_t left = 0, top = 0;
    KnobParams turn;
};

StackFrames::StackFrames(int32_t width, int32_t height, int32_t frames,
                         std::vector<StackLayer> layers, Routine routine, uint32_t background)
    : width_(width),
      height_(height),
      frames_(frames),
      layers_(std::move(layers)),
      routine_(routine),
      background_(background) {}

StackFrames::~StackFrames() = default;

double StackFrames::valueOf(int32_t i) const {
    return frames_ > 1 ? static_cast<double>(i - 1) / (frames_ - 1) : 0.0;
}

namespace {

// The layer on a clear margin with the pivot at its middle, wide enough that
// the layer turned any way stays inside the disc the routine turns.
void padForTurning(const StackLayer& layer, StackFrames::Prepared& p) {
    const PixelGrid& src = *layer.pixels;
    const double px = std::nearbyint(layer.pivotX * 2.0) / 2.0;
    const double py = std::nearbyint(layer.pivotY * 2.0) / 2.0;
    double reach = 0.0;
    for (const double cx : {0.0, static_cast<double>(src.width())})
        for (const double cy : {0.0, static_cast<double>(src.height())})
            reach = std::max(reach, std::hypot(cx - px, cy - py));
    const double radius = std::ceil(reach) + 2.0;
    const auto margin = [radius](double pivot) {
        return std::max(0, static_cast<int32_t>(std::ceil(radius + 1.0 - pivot)));
    };
    const int32_t left = margin(px), top = margin(py);
    const auto right = static_cast<int32_t>(2.0 * px) + left - src.width();
    const auto bottom = static_cast<int32_t>(2.0 * py) + top - src.height();
    p.padded.allocate(left + src.width() + right, top + src.height() + bottom);
    if (p.padded.empty()) throw std::bad_alloc();
    for (int32_t y = 1; y <= src.height(); ++y)
        std::memcpy(p.padded.data() + p.padded.offset(1, left + 1, top + y),
                    src.data() + src.offset(1, 1, y), static_cast<std::size_t>(src.width()) * 4);
    p.left = static_cast<int32_t>(std::floor(layer.x)) - left;
    p.top = static_cast<int32_t>(std::floor(layer.y)) - top;
    p.turn = layer.turn;
    p.turn.RotRadius = static_cast<float>(radius);
}

}  // namespace

bool StackFrames::prepare(int pixelBytes, bool opacity) {
    // The layers are made ready once: frame files compose one frame at a time.
    if (prepared_.size() == layers_.size() && !layers_.empty()) {
        pixelBytes_ = pixelBytes;
        opacity_ = opacity;
        return true;
    }
    pixelBytes_ = pixelBytes;
    opacity_ = opacity;
    try {
        prepared_.clear();
        for (const StackLayer& layer : layers_) {
            auto p = std::make_unique<Prepared>();
            if (layer.drawn != nullptr) {
                if (layer.drawn->width() != width_ || layer.drawn->height() != height_ ||
                    layer.drawn->count() < frames_)
                    return false;
            } else if (layer.pixels != nullptr && layer.motion == StackLayer::Motion::Turn)
                padForTurning(layer, *p);
            prepared_.push_back(std::move(p));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

namespace {

// A layer at a whole-pixel place, its opacity times alpha.
void placeStill(const PixelGrid& layer, int32_t left, int32_t top, float alpha, int32_t width,
                int32_t first, int32_t count, float* rows) {
    const int32_t w = layer.width(), h = layer.height();
    const float* by = products();
    for (int32_t r = 0; r < count; ++r) {
        const int32_t y = first + r - top;
        if (y < 0 || y >= h) continue;
        const int32_t x0 = std::max(0, -left), x1 = std::min(w, width - left);
        const uint8_t* in = layer.data() + std::size_t(y) * std::size_t(w) * 4;
        float* to = rows + (std::ptrdiff_t{r} * width + left) * 4;
        for (int32_t x = x0; x < x1; ++x) {
            // A shadow's or a gloss's clear part leaves the pixel as it was.
            const uint8_t a = in[x * 4 + 3];
            if (a == 0) continue;
            float from[4];
            premultiply(in + x * 4, by, from);
            if (alpha != 1.0f) {
                overPremultiplied(from, alpha, to + x * 4);
                continue;
            }
            // overPremultiplied()'s sums with its factor of 1 left out.
            const float keep = 1.0f - by[256 + a];
            for (int c = 0; c < 4; ++c) to[x * 4 + c] = from[c] + to[x * 4 + c] * keep;
        }
    }
}

// A layer at a place between pixels: each canvas pixel takes the four
// layer pixels around where it falls, weighted by their overlap.
void placeBetween(const PixelGrid& layer, double left, double top, int32_t width, int32_t first,
                  int32_t count, float* rows) {
    const double fx = left - std::floor(left), fy = top - std::floor(top);
    if (fx == 0.0 && fy == 0.0) {
        placeStill(layer, static_cast<int32_t>(left), static_cast<int32_t>(top), 1.0f, width, first,
                   count, rows);
        return;
    }
    const int32_t w = layer.width(), h = layer.height();
    const float* by = products();
    const auto ix = static_cast<int32_t>(std::floor(left)),
               iy = static_cast<int32_t>(std::floor(top));
    const auto at = [&](int32_t x, int32_t y, int c) -> double {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0.0;
        float pixel[4];
        premultiply(layer.data() + (std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4, by,
                    pixel);
        return static_cast<double>(pixel[c]);
    };
    for (int32_t r = 0; r < count; ++r) {
        // Canvas pixel (X, Y) covers layer pixels X - ix - 1 + fx .. X - ix + fx.
        const int32_t y = first + r - iy;
        if (y < 0 || y > h) continue;
        for (int32_t X = std::max(0, ix); X < std::min(width, ix + w + 1); ++X) {
            const int32_t x = X - ix;
            float sample[4];
            for (int c = 0; c < 4; ++c)
                sample[c] = static_cast<float>(
                    at(x - 1, y - 1, c) * fx * fy + at(x, y - 1, c) * (1 - fx) * fy +
                    at(x - 1, y, c) * fx * (1 - fy) + at(x, y, c) * (1 - fx) * (1 - fy));
            overPremultiplied(sample, 1.0f, rows + (std::ptrdiff_t{r} * width + X) * 4);
        }
    }
}

}  // namespace

namespace {

int32_t wholeX(const StackLayer& layer) {
    return static_cast<int32_t>(std::floor(layer.x));
}
int32_t wholeY(const StackLayer& layer) {
    return static_cast<int32_t>(std::floor(layer.y));
}

// A row of composed pixels into the sink's: opacity kept straight, or laid
// on `background`. The sink's settings come as values: a byte written may
// be any byte, so members read in the loop would be read again each pixel.
void toSink(const float* in, int32_t width, bool opacity, int pixelBytes, uint32_t background,
            uint8_t* out) {
    if (opacity) {
        for (int32_t x = 0; x < width; ++x, in += 4, out += pixelBytes) {
            const auto a = static_cast<double>(in[3]);
            // A float times 255 over 255 is that float again, exactly.
            for (int c = 0; c < 3; ++c)
                out[c] = a == 255.0 ? toByte(static_cast<double>(in[c]))
                         : a > 0.0  ? toByte(static_cast<double>(in[c]) * 255.0 / a)
                                    : 0;
            out[3] = toByte(a);
        }
        return;
    }
    double back[3];
    for (int c = 0; c < 3; ++c) back[c] = static_cast<double>(channel(background, 8 * c));
    for (int32_t x = 0; x < width; ++x, in += 4, out += pixelBytes) {
        const auto a = static_cast<double>(in[3]);
        for (int c = 0; c < 3; ++c)
            out[c] = toByte(static_cast<double>(in[c]) + back[c] * (1.0 - a / 255.0));
        if (pixelBytes == 4) out[3] = 255;
    }
}

}  // namespace

void StackFrames::build(int32_t i, const FrameTarget& target) const {
    // A few rows at a time: the floats they are composed in stay in the
    // cache, and a band's worth of them never lies in memory.
    constexpr int32_t kFloats = 1 << 16;
    const int32_t chunk = std::max(1, kFloats / std::max(1, width_ * 4));
    for (int32_t done = 0; done < target.count; done += chunk)
        buildRows(i, {target.first + done, std::min(chunk, target.count - done),
                      target.dest + done * target.bytesPerLine, target.bytesPerLine});
}

void StackFrames::buildRows(int32_t i, const FrameTarget& target) const {
    thread_local std::vector<float> rows;
    thread_local std::vector<uint8_t> turned;
    thread_local std::vector<uint32_t> drawnRows;
    const std::size_t rowFloats = static_cast<std::size_t>(width_) * 4;
    rows.assign(rowFloats * static_cast<std::size_t>(target.count), 0.0f);
    const double v = valueOf(i);
    for (std::size_t k = 0; k < layers_.size(); ++k) {
        const StackLayer& layer = layers_[k];
        const Prepared& p = *prepared_[k];
        if (layer.arc) {
            DrawArc(*layer.arc, v, width_, target.first, target.count, rows.data());
            continue;
        }
        if (layer.drawn != nullptr) {
            drawnRows.resize(static_cast<std::size_t>(width_) *
                             static_cast<std::size_t>(target.count));
            if (!layer.drawn->read(i, target.first, target.count, drawnRows.data())) unread_ = true;
            const auto* in = reinterpret_cast<const uint8_t*>(drawnRows.data());
            float* to = rows.data();
            for (std::size_t n = 0; n < drawnRows.size(); ++n, in += 4, to += 4) over(in, 1.0f, to);
            continue;
        }
        switch (layer.motion) {
            case StackLayer::Motion::Still:
                placeStill(*layer.pixels, wholeX(layer), wholeY(layer), 1.0f, width_, target.first,
                           target.count, rows.data());
                break;
            case StackLayer::Motion::Fade: {
                const double alpha =
                    std::clamp(layer.fadeFrom + v * (layer.fadeTo - layer.fadeFrom), 0.0, 1.0);
                placeStill(*layer.pixels, wholeX(layer), wholeY(layer), static_cast<float>(alpha),
                           width_, target.first, target.count, rows.data());
                break;
            }
            case StackLayer::Motion::Slide:
                placeBetween(*layer.pixels, layer.x + v * (layer.toX - layer.x),
                             layer.y + v * (layer.toY - layer.y), width_, target.first,
                             target.count, rows.data());
                break;
            case StackLayer::Motion::Turn: {
                // The padded layer's rows that fall among the target's, turned.
                const int32_t from = std::max(0, target.first - p.top);
                const int32_t to = std::min(p.padded.height(), target.first + target.count - p.top);
                if (from >= to) break;
                const int32_t pw = p.padded.width();
                const std::ptrdiff_t line = std::ptrdiff_t{pw} * 4;
                turned.resize(static_cast<std::size_t>(line) * static_cast<std::size_t>(to - from));
                AppModul::FrameRows out{from, to - from,       turned.data(), line,
                                        4,    p.padded.data(), line};
                out.opacity = true;
                switch (routine_) {
                    case Routine::Bilinear:
                        AppModul::RotateFrameBilinear(i, p.turn, p.padded, out);
                        break;
                    case Routine::Nearest:
                        AppModul::RotateFrameNearest(i, p.turn, p.padded, out);
                        break;
                    case Routine::Sharp:
                        AppModul::RotateFrameSharp(i, p.turn, p.padded, out);
                        break;
                }
                for (int32_t y = from; y < to; ++y) {
                    float* row = rows.data() +
                                 static_cast<std::size_t>(p.top + y - target.first) * rowFloats;
                    const uint8_t* in = turned.data() + (y - from) * line;
                    const int32_t x0 = std::max(0, -p.left), x1 = std::min(pw, width_ - p.left);
                    for (int32_t x = x0; x < x1; ++x)
                        over(in + x * 4, 1.0f, row + (p.left + x) * 4);
                }
                break;
            }
        }
    }
    for (int32_t r = 0; r < target.count; ++r)
        toSink(rows.data() + static_cast<std::size_t>(r) * rowFloats, width_, opacity_, pixelBytes_,
               background_, target.dest + std::ptrdiff_t{r} * target.bytesPerLine);
}

}  // namespace Render
