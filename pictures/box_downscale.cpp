#include "box_downscale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

namespace Pictures {

namespace {

// The source pixels a target pixel covers along one axis, and how much of
// each: target pixel j covers [j * s, (j + 1) * s) with s = from / to.
struct Cover {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Cover> covers(int from, int to) {
    const double s = static_cast<double>(from) / to;
    std::vector<Cover> all(static_cast<std::size_t>(to));
    for (int j = 0; j < to; ++j) {
        const double begin = j * s, end = j == to - 1 ? from : (j + 1) * s;
        Cover& c = all[static_cast<std::size_t>(j)];
        c.first = static_cast<int>(std::floor(begin));
        const int last = std::min(from - 1, static_cast<int>(std::ceil(end)) - 1);
        for (int i = c.first; i <= last; ++i)
            c.weights.push_back(std::min<double>(i + 1, end) - std::max<double>(i, begin));
    }
    return all;
}

using Pixel = std::array<double, 4>;  // premultiplied blue, green, red, and alpha

uchar rounded(double v) {
    return static_cast<uchar>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

}  // namespace

QImage BoxDownscale(const QImage& picture, QSize size) {
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    if (src.isNull() || size.width() < 1 || size.height() < 1 || size.width() > src.width() ||
        size.height() > src.height())
        return {};
    const int w = size.width(), h = size.height();
    const auto across = covers(src.width(), w), down = covers(src.height(), h);
    const double area = static_cast<double>(src.width()) / w * src.height() / h;
    QImage out(size, QImage::Format_ARGB32);
    if (out.isNull()) return out;
    bool opaque = true;
    try {
        // Rows made narrow first, then the narrow rows averaged down.
        std::vector<Pixel> narrow(static_cast<std::size_t>(w) * src.height());
        for (int y = 0; y < src.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const Cover& c = across[static_cast<std::size_t>(x)];
                Pixel sum{};
                for (std::size_t k = 0; k < c.weights.size(); ++k) {
                    const QRgb p = line[c.first + static_cast<int>(k)];
                    const double a = qAlpha(p) / 255.0;
                    sum[0] += c.weights[k] * qBlue(p) * a;
                    sum[1] += c.weights[k] * qGreen(p) * a;
                    sum[2] += c.weights[k] * qRed(p) * a;
                    sum[3] += c.weights[k] * qAlpha(p);
                }
                narrow[static_cast<std::size_t>(y) * w + x] = sum;
            }
        }
        for (int y = 0; y < h; ++y) {
            const Cover& c = down[static_cast<std::size_t>(y)];
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < w; ++x) {
                Pixel sum{};
                for (std::size_t k = 0; k < c.weights.size(); ++k) {
                    const Pixel& p =
                        narrow[static_cast<std::size_t>(c.first + static_cast<int>(k)) * w + x];
                    for (std::size_t ch = 0; ch < 4; ++ch) sum[ch] += c.weights[k] * p[ch];
                }
                const double alpha = sum[3] / area;
                const uchar a = rounded(alpha);
                // Back to straight colour: the mean of the premultiplied colour
                // over the mean opacity.
                const auto straight = [&](double premultiplied) {
                    return alpha > 0.0 ? rounded(premultiplied / area * 255.0 / alpha) : uchar{0};
                };
                line[x] = qRgba(straight(sum[2]), straight(sum[1]), straight(sum[0]), a);
                opaque &= a == 255;
            }
        }
    } catch (const std::bad_alloc&) {
        return {};
    }
    return opaque ? out.convertToFormat(QImage::Format_RGB32) : out;
}

}  // namespace Pictures
