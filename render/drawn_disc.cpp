#include "drawn_disc.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "exact_turn.h"

using namespace Engine;

namespace Render {

namespace {

// A straight 0xAARRGGBB pixel laid on an opaque colour, as the picture was.
uint32_t laidOn(uint32_t p, uint32_t colour) {
    const uint32_t a = p >> 24;
    const auto over = [a](uint32_t c, uint32_t back) {
        return (c * a + back * (255 - a) + 127) / 255;
    };
    return 0xFF000000u | over((p >> 16) & 255, (colour >> 16) & 255) << 16 |
           over((p >> 8) & 255, (colour >> 8) & 255) << 8 | over(p & 255, colour & 255);
}

uint8_t toByte(double v) {
    return static_cast<uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

}  // namespace

DrawnDiscFrames::DrawnDiscFrames(const KnobParams& params, const PixelGrid& picture,
                                 const DrawnFrames& drawn, std::optional<uint32_t> lay)
    : params_(params), picture_(picture), drawn_(drawn), lay_(lay) {}

bool DrawnDiscFrames::prepare(int pixelBytes, bool opacity) {
    pixelBytes_ = pixelBytes;
    opacity_ = opacity && pixelBytes == 4;
    return drawn_.width() == picture_.width() && drawn_.height() == picture_.height() &&
           drawn_.count() >= params_.FrameCount;
}

bool DrawnDiscFrames::intact() const {
    return !unread_;
}

void DrawnDiscFrames::build(int32_t i, const FrameTarget& target) const {
    const int32_t width = picture_.width(), height = picture_.height();
    const double degrees = static_cast<double>(params_.RotAngle) * (static_cast<double>(i) - 1.0) +
                           static_cast<double>(params_.StartAngle);
    const bool turns = (params_.RotAngle != 0.0f || params_.StartAngle != 0.0f) &&
                       params_.RotRadius > 0.0f && std::isfinite(degrees);
    double c = 1.0, s = 0.0;
    if (turns) TurnOf(degrees, c, s);
    const double cx = (width + 1.0) / 2.0, cy = (height + 1.0) / 2.0;
    const double outer = static_cast<double>(params_.RotRadius) + 0.5;
    const double whole = std::min(outer, std::min(cx, cy)) - 1.0;
    const double whole2 = whole > 0.0 ? whole * whole : -1.0;
    thread_local std::vector<uint32_t> rows;
    if (turns) {
        rows.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(target.count));
        if (!drawn_.read(i, target.first, target.count, rows.data())) unread_ = true;
    }
    for (int32_t r = 0; r < target.count; ++r) {
        const int32_t y = target.first + r + 1;  // 1-based
        const uint8_t* plain = picture_.data() + picture_.offset(1, 1, y);
        uint8_t* out = target.dest + std::ptrdiff_t{r} * target.bytesPerLine;
        const uint32_t* turned = rows.data() + static_cast<std::size_t>(r) * width;
        const double dy = y - cy;
        for (int32_t x = 1; x <= width; ++x, plain += 4, out += pixelBytes_) {
            double share = 0.0;
            if (turns) {
                // Wholly turned within `whole` of the centre (the disc's
                // edge and the picture's a pixel away: a turned position
                // lies as far from the centre), not at all from `outer`.
                const double dx = x - cx, d2 = dx * dx + dy * dy;
                if (d2 <= whole2) {
                    share = 1.0;
                } else if (d2 < outer * outer) {
                    const double disc = std::clamp(outer - std::sqrt(d2), 0.0, 1.0);
                    const double sx = cx + dx * c + dy * s, sy = cy + dy * c - dx * s;
                    const double inside =
                        std::min(std::min(sx, width + 1.0 - sx), std::min(sy, height + 1.0 - sy));
                    share = disc * std::clamp(inside, 0.0, 1.0);
                }
            }
            uint8_t px[4] = {plain[0], plain[1], plain[2], plain[3]};
            if (share > 0.0) {
                uint32_t t = turned[x - 1];
                if (lay_) t = laidOn(t, *lay_);
                const uint8_t tp[4] = {static_cast<uint8_t>(t), static_cast<uint8_t>(t >> 8),
                                       static_cast<uint8_t>(t >> 16),
                                       static_cast<uint8_t>(t >> 24)};
                if (share >= 1.0) {
                    std::copy(tp, tp + 4, px);
                } else {
                    const double ta = tp[3] * share, pa = plain[3] * (1.0 - share);
                    const double a = ta + pa;
                    for (int k = 0; k < 3; ++k)
                        px[k] = a > 0.0 ? toByte((tp[k] * ta + plain[k] * pa) / a)
                                        : toByte(tp[k] * share + plain[k] * (1.0 - share));
                    px[3] = toByte(a);
                }
            }
            out[0] = px[0];
            out[1] = px[1];
            out[2] = px[2];
            if (pixelBytes_ == 4) out[3] = opacity_ ? px[3] : 255;
        }
    }
}

}  // namespace Render
