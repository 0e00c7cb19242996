#include <algorithm>
#include <cmath>
#include <vector>

#include "exact_turn.h"
#include "rotation.h"
#include "rotation_kernels.h"
#include "sharp_pixel.h"

using namespace Engine;

namespace Render {

namespace AppModul {

namespace {

// A frame's turn and the box of pixels whose share of it may be above 0.
struct SharpSetup {
    double c = 1.0, s = 0.0;  // cosine and sine of the clockwise turn
    double centerX = 0.0, centerY = 0.0;
    float outer = 0.0f;
    FrameBox box;
};

// False when nothing of the frame turns.
bool setUp(int32_t i, const KnobParams& params, int32_t width, int32_t height, SharpSetup& f) {
    if ((params.RotAngle == 0.0f && params.StartAngle == 0.0f) || !(params.RotRadius > 0.0f))
        return false;
    const double degrees = static_cast<double>(params.RotAngle) * (static_cast<double>(i) - 1.0) +
                           static_cast<double>(params.StartAngle);
    if (!std::isfinite(degrees)) return false;
    TurnOf(degrees, f.c, f.s);
    f.centerX = (static_cast<double>(width) + 1.0) / 2.0;
    f.centerY = (static_cast<double>(height) + 1.0) / 2.0;
    f.outer = static_cast<float>(static_cast<double>(params.RotRadius) + 0.5);
    const double reach = f.outer;
    const auto first = [](double v) { return static_cast<int32_t>(std::max(1.0, std::ceil(v))); };
    const auto last = [](double v, int32_t size) {
        return static_cast<int32_t>(std::min(static_cast<double>(size), std::floor(v)));
    };
    f.box = {first(f.centerX - reach), last(f.centerX + reach, width), first(f.centerY - reach),
             last(f.centerY + reach, height)};
    return f.box.x0 <= f.box.x1 && f.box.y0 <= f.box.y1;
}

// The terms of a position that depend on the column only, kept per thread
// so that a frame allocates nothing once the widest has been built.
struct SharpColumns {
    std::vector<double> sxBase, syTerm;
    std::vector<float> dxSquared;
};

const SharpColumns& columnsOf(const SharpSetup& f) {
    thread_local SharpColumns t;
    const auto n = static_cast<std::size_t>(f.box.x1 - f.box.x0 + 1);
    t.sxBase.resize(n);
    t.syTerm.resize(n);
    t.dxSquared.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double dx = static_cast<double>(f.box.x0 + static_cast<int32_t>(k)) - f.centerX;
        t.sxBase[k] = f.centerX + dx * f.c;
        t.syTerm[k] = -(dx * f.s);
        t.dxSquared[k] = static_cast<float>(dx * dx);
    }
    return t;
}

void sharpPixels(const SharpRow& r, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k) sharpPixel(r, k);
}

SharpRow firstRow(const SharpSetup& f, const SharpColumns& t, const PixelGrid& src,
                  const FrameRows& rows) {
    return SharpRow{t.sxBase.data(),
                    t.syTerm.data(),
                    t.dxSquared.data(),
                    0.0,
                    0.0,
                    0.0f,
                    f.outer,
                    static_cast<float>(src.width() + 1),
                    static_cast<float>(src.height() + 1),
                    src.data(),
                    src.width(),
                    src.height(),
                    nullptr,
                    nullptr,
                    rows.pixelBytes,
                    rows.opacity && rows.pixelBytes == 4};
}

void turnRows(const SharpSetup& f, const PixelGrid& src, const FrameRows& rows, Kernel kernel) {
    const int32_t y0 = std::max(f.box.y0, rows.first + 1);
    const int32_t y1 = std::min(f.box.y1, rows.first + rows.count);
    if (y0 > y1) return;
    const SharpColumns& t = columnsOf(f);
    const SharpLoops wide =
        kernel == Kernel::Scalar ? SharpLoops{} : SharpKernels(src.width(), src.height());
    const SharpLoop sixteen = kernel == Kernel::Best ? wide.sixteen : nullptr;
    const std::size_t count = t.sxBase.size();
    const std::ptrdiff_t srcLine = std::ptrdiff_t{src.width()} * 4;
    SharpRow row = firstRow(f, t, src, rows);
    for (int32_t y = y0; y <= y1; ++y) {
        const double dy = static_cast<double>(y) - f.centerY;
        row.rowSx = dy * f.s;
        row.rowSy = f.centerY + dy * f.c;
        row.dySquared = static_cast<float>(dy * dy);
        row.base = src.data() + (y - 1) * srcLine + (f.box.x0 - 1) * 4;
        row.out =
            rows.dest + (y - 1 - rows.first) * rows.bytesPerLine + (f.box.x0 - 1) * rows.pixelBytes;
        std::size_t done = 0;
        if (sixteen != nullptr) done = sixteen(row, done, count);
        if (wide.eight != nullptr) done = wide.eight(row, done, count);
        sharpPixels(row, done, count);
    }
}

}  // namespace

void RotateFrameSharp(int32_t i, const KnobParams& params, const PixelGrid& SrcBits,
                      const FrameRows& rows, Kernel kernel) {
    if (SrcBits.empty() || rows.count <= 0) return;
    CopyPlainRows(SrcBits, rows);
    SharpSetup f;
    if (!setUp(i, params, SrcBits.width(), SrcBits.height(), f)) return;
    turnRows(f, SrcBits, rows, kernel);
}

}  // namespace AppModul

}  // namespace Render
