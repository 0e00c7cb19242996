#include "stack_frames.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "rotation.h"

using namespace Engine;

namespace Render {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Premultiplied colour, blue, green, red, opacity, each 0 .. 255.
using Premultiplied = std::vector<float>;

float channel(uint32_t colour, int shift) {
    return static_cast<float>((colour >> shift) & 0xFFu);
}

// A straight pixel (blue, green, red, opacity bytes) laid over the
// premultiplied one at `to`, its opacity times `alpha`.
inline void over(const uint8_t* straight, float alpha, float* to) {
    const float a = straight[3] * alpha;
    if (a <= 0.0f) return;
    const float keep = 1.0f - a / 255.0f;
    const float scale = a / 255.0f;
    for (int c = 0; c < 3; ++c) to[c] = straight[c] * scale + to[c] * keep;
    to[3] = a + to[3] * keep;
}

// A premultiplied pixel over another.
inline void overPremultiplied(const float* from, float alpha, float* to) {
    const float a = from[3] * alpha;
    if (a <= 0.0f) return;
    const float keep = 1.0f - a / 255.0f;
    for (int c = 0; c < 3; ++c) to[c] = from[c] * alpha + to[c] * keep;
    to[3] = a + to[3] * keep;
}

uint8_t toByte(double v) {
    return static_cast<uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

// The angle of a point from the centre, degrees clockwise from 12 o'clock,
// within [from, from + 360).
double angleOf(double dx, double dy, double from) {
    double angle = std::atan2(dx, -dy) * 180.0 / kPi;
    while (angle < from) angle += 360.0;
    while (angle >= from + 360.0) angle -= 360.0;
    return angle;
}

// How much of a pixel centred at (dx, dy) from the arc's centre the part of
// its ring from angle a to angle b covers, 0 .. 1: a pixel's width of
// smooth edge along the ring's sides and its ends.
double coverage(const ArcStyle& arc, double dx, double dy, double a, double b) {
    if (a > b) std::swap(a, b);
    if (b - a < 1e-9) return 0.0;
    const double half = arc.width / 2.0;
    const double r = std::hypot(dx, dy);
    const double across = half + 0.5 - std::abs(r - arc.radius);
    if (across <= 0.0 && !arc.roundEnds) return 0.0;
    // The point's angle past the span's start, 0 .. 360.
    const double angle = angleOf(dx, dy, a) - a;
    const double span = b - a;
    // How far inside the span the point lies along the ring, degrees;
    // negative beyond its ends.
    const double inside =
        angle <= span ? std::min(angle, span - angle) : -std::min(angle - span, 360.0 - angle);
    if (arc.roundEnds) {
        if (inside >= 0.0) return std::clamp(across, 0.0, 1.0);
        // Beyond an end: the distance to the end's point on the ring.
        const double end = (angle - span < 360.0 - angle ? b : a) * kPi / 180.0;
        const double ex = arc.radius * std::sin(end), ey = -arc.radius * std::cos(end);
        return std::clamp(half + 0.5 - std::hypot(dx - ex, dy - ey), 0.0, 1.0);
    }
    const double along = r * std::sin(std::clamp(inside, -90.0, 90.0) * kPi / 180.0);
    return std::clamp(across, 0.0, 1.0) * std::clamp(along + 0.5, 0.0, 1.0);
}

void drawArc(const ValueArc& arc, double v, int32_t width, int32_t first, int32_t count,
             float* rows) {
    const ArcStyle& style = arc.style;
    const double value = arc.start + v * (arc.end - arc.start);
    const double from = style.fromMiddle ? (arc.start + arc.end) / 2.0 : arc.start;
    for (int32_t r = 0; r < count; ++r) {
        const double dy = first + r + 0.5 - arc.centreY;
        if (std::abs(dy) > style.radius + style.width) continue;
        float* row = rows + std::ptrdiff_t{r} * width * 4;
        for (int32_t x = 0; x < width; ++x) {
            const double dx = x + 0.5 - arc.centreX;
            if (std::abs(dx) > style.radius + style.width) continue;
            const auto paint = [&](uint32_t colour, double cover) {
                if (cover <= 0.0) return;
                const auto a = static_cast<float>(static_cast<double>(channel(colour, 24)) * cover);
                const float premultiplied[4] = {channel(colour, 0) * a / 255.0f,
                                                channel(colour, 8) * a / 255.0f,
                                                channel(colour, 16) * a / 255.0f, a};
                overPremultiplied(premultiplied, 1.0f, row + x * 4);
            };
            if (style.hasTrack) paint(style.track, coverage(style, dx, dy, arc.start, arc.end));
            paint(style.colour, coverage(style, dx, dy, from, value));
        }
    }
}

}  // namespace

// What a layer needs ready before frames are built: its pixels
// premultiplied, or, for a turning layer, on a clear margin that puts its
// pivot at the middle with room to turn whole.
struct StackFrames::Prepared {
    Premultiplied pixels;  // width x height x 4
    PixelGrid padded;      // a turning layer
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

Premultiplied premultiplied(const PixelGrid& grid) {
    Premultiplied out(grid.byteCount());
    const uint8_t* p = grid.data();
    for (std::size_t k = 0; k < grid.byteCount(); k += 4) {
        const float a = p[k + 3];
        for (int c = 0; c < 3; ++c) out[k + c] = p[k + c] * a / 255.0f;
        out[k + 3] = a;
    }
    return out;
}

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
            else if (layer.pixels != nullptr)
                p->pixels = premultiplied(*layer.pixels);
            prepared_.push_back(std::move(p));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

namespace {

// A layer's premultiplied pixels at a whole-pixel place, its opacity times
// alpha.
void placeStill(const Premultiplied& pixels, int32_t w, int32_t h, int32_t left, int32_t top,
                float alpha, int32_t width, int32_t first, int32_t count, float* rows) {
    for (int32_t r = 0; r < count; ++r) {
        const int32_t y = first + r - top;
        if (y < 0 || y >= h) continue;
        const int32_t x0 = std::max(0, -left), x1 = std::min(w, width - left);
        for (int32_t x = x0; x < x1; ++x)
            overPremultiplied(&pixels[(std::size_t(y) * w + x) * 4], alpha,
                              rows + (std::ptrdiff_t{r} * width + left + x) * 4);
    }
}

// A layer at a place between pixels: each canvas pixel takes the four
// layer pixels around where it falls, weighted by their overlap.
void placeBetween(const Premultiplied& pixels, int32_t w, int32_t h, double left, double top,
                  int32_t width, int32_t first, int32_t count, float* rows) {
    const double fx = left - std::floor(left), fy = top - std::floor(top);
    if (fx == 0.0 && fy == 0.0) {
        placeStill(pixels, w, h, static_cast<int32_t>(left), static_cast<int32_t>(top), 1.0f, width,
                   first, count, rows);
        return;
    }
    const auto ix = static_cast<int32_t>(std::floor(left)),
               iy = static_cast<int32_t>(std::floor(top));
    const auto at = [&](int32_t x, int32_t y, int c) -> double {
        return x < 0 || y < 0 || x >= w || y >= h
                   ? 0.0
                   : static_cast<double>(pixels[(std::size_t(y) * w + x) * 4 + c]);
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

}  // namespace

void StackFrames::build(int32_t i, const FrameTarget& target) const {
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
            drawArc(*layer.arc, v, width_, target.first, target.count, rows.data());
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
        const int32_t w = layer.pixels->width(), h = layer.pixels->height();
        switch (layer.motion) {
            case StackLayer::Motion::Still:
                placeStill(p.pixels, w, h, wholeX(layer), wholeY(layer), 1.0f, width_, target.first,
                           target.count, rows.data());
                break;
            case StackLayer::Motion::Fade: {
                const double alpha =
                    std::clamp(layer.fadeFrom + v * (layer.fadeTo - layer.fadeFrom), 0.0, 1.0);
                placeStill(p.pixels, w, h, wholeX(layer), wholeY(layer), static_cast<float>(alpha),
                           width_, target.first, target.count, rows.data());
                break;
            }
            case StackLayer::Motion::Slide:
                placeBetween(p.pixels, w, h, layer.x + v * (layer.toX - layer.x),
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
    // Into the sink's pixels: opacity kept straight, or laid on the background.
    const float back[3] = {channel(background_, 0), channel(background_, 8),
                           channel(background_, 16)};
    for (int32_t r = 0; r < target.count; ++r) {
        const float* in = rows.data() + static_cast<std::size_t>(r) * rowFloats;
        uint8_t* out = target.dest + std::ptrdiff_t{r} * target.bytesPerLine;
        for (int32_t x = 0; x < width_; ++x, in += 4, out += pixelBytes_) {
            const auto a = static_cast<double>(in[3]);
            if (opacity_) {
                for (int c = 0; c < 3; ++c)
                    out[c] = a > 0.0 ? toByte(static_cast<double>(in[c]) * 255.0 / a) : 0;
                out[3] = toByte(a);
                continue;
            }
            for (int c = 0; c < 3; ++c)
                out[c] = toByte(static_cast<double>(in[c]) +
                                static_cast<double>(back[c]) * (1.0 - a / 255.0));
            if (pixelBytes_ == 4) out[3] = 255;
        }
    }
}

}  // namespace Render
