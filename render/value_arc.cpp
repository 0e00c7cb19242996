#include "value_arc.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Engine;

namespace Render {

namespace {

constexpr double kPi = 3.14159265358979323846;

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
            // A premultiplied pixel over another, as a layer's is laid.
            float part[4];
            at(share, part);
            const float keep = 1.0f - part[3] / 255.0f;
            for (int c = 0; c < 4; ++c) to[c] = part[c] + to[c] * keep;
            return;
        }
        for (int c = 0; c < 4; ++c) to[c] = whole_[c] + to[c] * keep_;
    }

private:
    float channel(int shift) const { return static_cast<float>((colour_ >> shift) & 0xFFu); }
    void at(double share, float* premultiplied) const {
        const auto a = static_cast<float>(static_cast<double>(channel(24)) * share);
        for (int c = 0; c < 3; ++c) premultiplied[c] = channel(8 * c) * a / 255.0f;
        premultiplied[3] = a;
    }

    uint32_t colour_;
    float whole_[4];
    float keep_;
};

}  // namespace

void DrawArc(const ValueArc& arc, double v, int32_t width, int32_t first, int32_t count,
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

}  // namespace Render
