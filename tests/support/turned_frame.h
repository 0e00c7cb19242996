#pragma once

// A frame turned on its own, through the same rows entry point the strips
// use: what a strip's frame must equal.

#include <cstddef>
#include <cstdint>

#include "fixtures.h"
#include "knob_params.h"
#include "pixel_grid.h"
#include "rotation.h"

namespace fixtures {

// How a test frame is built: with the fourth byte as opacity that turns
// (FrameRows::opacity), and by which loop.
struct FrameOptions {
    bool opacity = false;
    AppModul::Kernel kernel = AppModul::Kernel::Best;
};

// Frame i of the picture, built whole on its own by the routine asked for,
// through the same rows entry point the strips use, into a grid of its own.
inline PixelGrid Frame(Routine routine, int32_t i, const KnobParams& p, const PixelGrid& src,
                       FrameOptions options = {}) {
    PixelGrid frame;
    frame.allocate(src.width(), src.height());
    const std::ptrdiff_t line = std::ptrdiff_t{src.width()} * 4;
    AppModul::FrameRows rows{0, src.height(), frame.data(), line, 4, src.data(), line};
    rows.opacity = options.opacity;
    if (routine == Routine::Bilinear)
        AppModul::RotateFrameBilinear(i, p, src, rows, options.kernel);
    else
        AppModul::RotateFrameNearest(i, p, src, rows, options.kernel);
    return frame;
}

// The same by the reference's flag: true for the bilinear routine.
inline PixelGrid Frame(bool bilinear, int32_t i, const KnobParams& p, const PixelGrid& src,
                       FrameOptions options = {}) {
    return Frame(bilinear ? Routine::Bilinear : Routine::Nearest, i, p, src, options);
}

}  // namespace fixtures
