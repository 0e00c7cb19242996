#include "stack_frames.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "rotation.h"

using namespace Engine;

namespace Render {

namespace {

constexpr double kPi = 3.14159265358979323846;

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

// An angle in degrees moved by whole turns into [from, from + 360).
double wrapped(double angle, double from) {
    while (angle < from) angle += 360.0;
    while (angle >= from + 360.0) angle -= 360.0;
    return angle;
}

// The angle of a point from the centre, degrees clockwise from 12 o'clock,
// within [from, from + 360).
double angleOf(double dx, double dy, double from) {
    return wrapped(std::atan2(dx, -dy) * 180.0 / kPi, from);
}

// How far inside a span of the ring a point lies along it, degrees, given
// how far past the span's start it lies (0 .. 360); negative beyond its ends.
double insideOf(double past, double span) {
    return past <= span ? std::min(past, span - past) : -std::min(past - span, 360.0 - past);
}

// How much of a pixel centred at (dx, dy) from the arc's centre the part of
// its ring from angle a to angle b covers, 0 .. 1: a pixel's width of
// smooth edge along the ring's sides and its ends. It may be a sub-pixel,
// `step` pixels wide, with an edge as wide as itself: over 1 it is exactly
// the whole pixel's.
double coverage(const ArcStyle& arc, double dx, double dy, double a, double b, double step = 1.0) {
    if (a > b) std::swap(a, b);
    if (b - a < 1e-9) return 0.0;
    const double half = arc.width / 2.0, edge = step / 2.0;
    const double r = std::hypot(dx, dy);
    const double across = (half + edge - std::abs(r - arc.radius)) / step;
    if (across <= 0.0 && !arc.roundEnds) return 0.0;
    // The point's angle past the span's start, 0 .. 360.
    const double angle = angleOf(dx, dy, a) - a;
    const double span = b - a;
    const double inside = insideOf(angle, span);
    if (arc.roundEnds) {
        if (inside >= 0.0) return std::clamp(across, 0.0, 1.0);
        // Beyond an end: the distance to the end's point on the ring.
        const double end = (angle - span < 360.0 - angle ? b : a) * kPi / 180.0;
        const double ex = arc.radius * std::sin(end), ey = -arc.radius * std::cos(end);
        return std::clamp((half + edge - std::hypot(dx - ex, dy - ey)) / step, 0.0, 1.0);
    }
    const double along = r * std::sin(std::clamp(inside, -90.0, 90.0) * kPi / 180.0);
    return std::clamp(across, 0.0, 1.0) * std::clamp(along / step + 0.5, 0.0, 1.0);
}

// atan2(dx, -dy) in degrees within kRoughError: a polynomial of the arc
// tangent on [0, 1] (error under 1e-4 degrees) and the octants' symmetries.
constexpr double kRoughError = 1e-3;
double roughAngle(double dx, double dy) {
    const double ax = std::abs(dy), ay = std::abs(dx);
    const double big = std::max(ax, ay);
    if (big == 0.0) return 0.0;
    const double z = std::min(ax, ay) / big, z2 = z * z;
    double t =
        z * (0.99997726 +
             z2 * (-0.33262347 +
                   z2 * (0.19354346 + z2 * (-0.11643287 + z2 * (0.05265332 + z2 * -0.01172120)))));
    if (ay > ax) t = kPi / 2.0 - t;
    if (dy > 0.0) t = kPi - t;
    return (dx < 0.0 ? -t : t) * (180.0 / kPi);
}

// What settles most of an arc's pixels by cheap arithmetic: squared radii
// (pixels) off the ring or wholly across it, and how many degrees inside a
// span, or beyond it, a pixel's rough angle must lie for its exact angle not
// to matter. coverage() settles the rest; its arc tangent and distances
// were nearly all of a stack's time.
constexpr double kNever = 1e9;
struct RingBounds {
    double outside = 0.0;                   // at or beyond: nothing covered
    double hole = -1.0;                     // at or within: nothing covered
    double wholeFrom = 1.0, wholeTo = 0.0;  // within both: covered across the ring
    double inside = kNever, beyond = kNever;
};

// `grow`: how much further than half a pixel from its centre a pixel's
// coverage reaches (0 for the one-pixel edge).
RingBounds boundsOf(const ArcStyle& style, double grow) {
    RingBounds b;
    // A ring of no radius (wider than its canvas) is drawn exactly: its
    // ends' points lie across the centre from where its sides are measured.
    if (!(style.radius > 0.0)) {
        b.outside = std::numeric_limits<double>::infinity();
        return b;
    }
    const double half = style.width / 2.0, edge = 0.5 + grow;
    // Far above the rounding of the sums below, far below a pixel.
    const double m = 1e-7 * (style.radius + style.width + 1.0);
    const double inner = style.radius - half - edge - m, outer = style.radius + half + edge + m;
    b.outside = outer * outer;
    if (inner > 0.0) b.hole = inner * inner;
    const double from = style.radius - half + edge + m, to = style.radius + half - edge - m;
    if (from > 0.0 && from < to) {
        b.wholeFrom = from * from;
        b.wholeTo = to * to;
    }
    if (inner < 1.0) return b;
    // A covered pixel and an end's point on the ring both lie further than
    // `inner` from the centre: d degrees between them keep them at least
    // 2 inner sin(d / 2) apart, and the pixel inner sin(d) off the end's radius.
    const double margin = kRoughError + 1e-6;
    // The degrees a pixel's reach spans where it lies nearest the centre.
    const double spans = std::asin(edge / inner) * 180.0 / kPi + margin;
    if (style.roundEnds) {
        // With the one-pixel edge a pixel's centre alone says which side of
        // an end it lies; its sub-pixels, further off, need its whole reach.
        b.inside = grow > 0.0 ? spans : margin;
        const double reach = (half + edge) / (2.0 * inner);
        if (reach < 1.0) b.beyond = 2.0 * std::asin(reach) * 180.0 / kPi + margin;
    } else {
        b.inside = b.beyond = spans;
    }
    return b;
}

// A colour laid over a share of a pixel in premultiplied colour. A whole
// pixel's is worked out once: most of a ring's pixels are covered whole.
class Ink {
public:
    explicit Ink(uint32_t colour) : colour_(colour) {
        at(1.0, whole_);
        keep_ = 1.0f - whole_[3] / 255.0f;
    }
    bool opaque() const { return keep_ == 0.0f; }
    void lay(double share, float* to) const {
        if (share <= 0.0) return;
        if (share < 1.0) {
            float part[4];
            at(share, part);
            overPremultiplied(part, 1.0f, to);
            return;
        }
        for (int c = 0; c < 4; ++c) to[c] = whole_[c] + to[c] * keep_;
    }

private:
    void at(double share, float* premultiplied) const {
        const auto a = static_cast<float>(static_cast<double>(channel(colour_, 24)) * share);
        for (int c = 0; c < 3; ++c) premultiplied[c] = channel(colour_, 8 * c) * a / 255.0f;
        premultiplied[3] = a;
    }

    uint32_t colour_;
    float whole_[4];
    float keep_;
};

void drawArc(const ValueArc& arc, double v, int32_t width, int32_t first, int32_t count,
             float* rows) {
    const ArcStyle& style = arc.style;
    const double value = arc.start + v * (arc.end - arc.start);
    const double from = style.fromMiddle ? (arc.start + arc.end) / 2.0 : arc.start;
    // Sub-pixels: their centres lie up to (1 - step) / sqrt(2) from the
    // pixel's, their edges step / 2 beyond, together under 0.75.
    const int k = std::max(1, arc.oversample);
    const double step = 1.0 / k;
    const double reach =
        k > 1 ? std::numeric_limits<double>::infinity() : style.radius + style.width;
    const RingBounds bounds = boundsOf(style, k > 1 ? 0.25 : 0.0);
    const Ink bar(style.colour), track(style.track);
    // The mean of coverage() over the pixel's k x k sub-pixels.
    const auto subPixels = [&](double dx, double dy, double a, double b) {
        double sum = 0.0;
        for (int j = 0; j < k; ++j)
            for (int i = 0; i < k; ++i)
                sum += coverage(style, dx + (i + 0.5) * step - 0.5, dy + (j + 0.5) * step - 0.5, a,
                                b, step);
        return sum / (k * k);
    };
    // coverage() of the pixel, from the bounds where they settle it.
    const auto cover = [&](double dx, double dy, double r2, double rough, double a, double b) {
        if (a > b) std::swap(a, b);
        if (b - a < 1e-9) return 0.0;
        if (b - a < 360.0) {
            const double inside = insideOf(wrapped(rough, a) - a, b - a);
            if (inside <= -bounds.beyond) return 0.0;
            if (inside >= bounds.inside) {
                if (r2 >= bounds.wholeFrom && r2 <= bounds.wholeTo) return 1.0;
                if (k > 1) return subPixels(dx, dy, a, b);
                const double across =
                    style.width / 2.0 + 0.5 - std::abs(std::hypot(dx, dy) - style.radius);
                return std::clamp(across, 0.0, 1.0);
            }
        }
        return k > 1 ? subPixels(dx, dy, a, b) : coverage(style, dx, dy, a, b);
    };
    for (int32_t r = 0; r < count; ++r) {
        const double dy = first + r + 0.5 - arc.centreY;
        if (std::abs(dy) > reach || dy * dy >= bounds.outside) continue;
        float* row = rows + std::ptrdiff_t{r} * width * 4;
        // The row's pixels within the ring's outer circle and outside its
        // hole, with a pixel to spare: each is tested again below.
        const auto column = [width](double x) {
            return static_cast<int32_t>(std::clamp(x, -1.0, width + 1.0));
        };
        const double half = std::sqrt(bounds.outside - dy * dy);
        const int32_t x0 = std::max(0, column(arc.centreX - half - 1.5));
        const int32_t x1 = std::min(width, column(arc.centreX + half + 1.5));
        int32_t holeFrom = x1, holeTo = x1;
        if (dy * dy < bounds.hole) {
            const double hole = std::sqrt(bounds.hole - dy * dy);
            holeFrom = std::clamp(column(arc.centreX - hole + 1.5), x0, x1);
            holeTo = std::clamp(column(arc.centreX + hole - 1.5), holeFrom, x1);
        }
        for (int32_t x = x0; x < x1; ++x) {
            if (x == holeFrom && (x = holeTo) == x1) break;
            const double dx = x + 0.5 - arc.centreX;
            const double r2 = dx * dx + dy * dy;
            if (std::abs(dx) > reach || r2 >= bounds.outside || r2 <= bounds.hole) continue;
            const double rough = roughAngle(dx, dy);
            const double share = cover(dx, dy, r2, rough, from, value);
            // Under a whole pixel of an opaque bar the track does not show.
            if (style.hasTrack && !(share == 1.0 && bar.opaque()))
                track.lay(cover(dx, dy, r2, rough, arc.start, arc.end), row + x * 4);
            bar.lay(share, row + x * 4);
        }
    }
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
