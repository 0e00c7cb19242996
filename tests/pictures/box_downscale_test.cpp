#include "box_downscale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace Pictures;

namespace {

using Pictures::BoxDownscale;

// The plain box filter: every target pixel the premultiplied mean over the
// exact area it covers, summed over the whole picture pixel by pixel.
QRgb plainBox(const QImage& src, QSize size, int tx, int ty) {
    const double sx = static_cast<double>(src.width()) / size.width();
    const double sy = static_cast<double>(src.height()) / size.height();
    double sum[4] = {};
    for (int y = 0; y < src.height(); ++y) {
        const double oy =
            std::max(0.0, std::min(y + 1.0, (ty + 1) * sy) - std::max<double>(y, ty * sy));
        for (int x = 0; x < src.width() && oy > 0; ++x) {
            const double ox =
                std::max(0.0, std::min(x + 1.0, (tx + 1) * sx) - std::max<double>(x, tx * sx));
            const QRgb p = src.pixel(x, y);
            const double weight = ox * oy, a = qAlpha(p);
            sum[0] += weight * qRed(p) * a;
            sum[1] += weight * qGreen(p) * a;
            sum[2] += weight * qBlue(p) * a;
            sum[3] += weight * a;
        }
    }
    const auto channel = [&](double v) {
        return sum[3] > 0 ? static_cast<int>(std::nearbyint(v / sum[3])) : 0;
    };
    return qRgba(channel(sum[0]), channel(sum[1]), channel(sum[2]),
                 static_cast<int>(std::nearbyint(sum[3] / (sx * sy))));
}

// A picture with no symmetry: colours and opacity vary over it, some pixels
// clear with a colour of their own that must not show.
QImage sample(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(
                x, y,
                qRgba((x * 37 + y * 11) % 256, (x * x + 3 * y) % 256, (255 - y * 7) % 256,
                      (x + y) % 5 == 0 ? 0 : (x * 9 + y * 5) % 256));
    return image;
}

TEST(BoxDownscale, MatchesThePlainBoxFilter) {
    const struct {
        QSize from, to;
    } cases[] = {{{64, 64}, {32, 32}},
                 {{45, 45}, {17, 17}},
                 {{50, 30}, {23, 11}},
                 {{121, 7}, {120, 3}},
                 {{9, 9}, {1, 1}}};
    for (const auto& c : cases) {
        const QImage src = sample(c.from.width(), c.from.height());
        const QImage out = BoxDownscale(src, c.to).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(out.size(), c.to);
        int worst = 0;
        for (int y = 0; y < c.to.height(); ++y) {
            for (int x = 0; x < c.to.width(); ++x) {
                const QRgb want = plainBox(src, c.to, x, y), got = out.pixel(x, y);
                const int a[4] = {qRed(want), qGreen(want), qBlue(want), qAlpha(want)};
                const int b[4] = {qRed(got), qGreen(got), qBlue(got), qAlpha(got)};
                // A clear pixel has no colour to compare.
                for (int k = qAlpha(want) == 0 ? 3 : 0; k < 4; ++k)
                    worst = std::max(worst, std::abs(a[k] - b[k]));
            }
        }
        // Rounding of a mean that lies on a half may go either way by the
        // order of the sums: at most 1 apart.
        EXPECT_LE(worst, 1) << c.from.width() << "x" << c.from.height() << " to " << c.to.width()
                            << "x" << c.to.height();
    }
}

TEST(BoxDownscale, ClearPixelsLendNoColourAndOpaqueResultsHaveNoAlpha) {
    QImage four(2, 2, QImage::Format_ARGB32);
    four.setPixel(0, 0, qRgba(255, 0, 0, 255));
    four.setPixel(1, 0, qRgba(0, 0, 255, 255));
    four.setPixel(0, 1, qRgba(0, 0, 255, 255));
    four.setPixel(1, 1, qRgba(0, 255, 0, 0));  // clear green
    const QImage one = BoxDownscale(four, {1, 1});
    EXPECT_EQ(one.pixel(0, 0), qRgba(85, 0, 170, 191));
    QImage opaque(4, 4, QImage::Format_RGB32);
    opaque.fill(qRgb(10, 20, 30));
    const QImage half = BoxDownscale(opaque, {2, 2});
    EXPECT_EQ(half.format(), QImage::Format_RGB32);
    EXPECT_EQ(half.pixel(1, 1), qRgb(10, 20, 30));
    EXPECT_TRUE(BoxDownscale(opaque, {5, 4}).isNull()) << "never larger";
}

}  // namespace
