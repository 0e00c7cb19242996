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
    Render::AppModul::Kernel kernel = Render::AppModul::Kernel::Best;
};

// Frame i of the picture, built whole on its own by the routine asked for,
// through the same rows entry point the strips use, into a grid of its own.
inline Engine::PixelGrid Frame(Engine::Routine routine, int32_t i, const Engine::KnobParams& p,
                               const Engine::PixelGrid& src, FrameOptions options = {}) {
    Engine::PixelGrid frame;
    frame.allocate(src.width(), src.height());
    const std::ptrdiff_t line = std::ptrdiff_t{src.width()} * 4;
    Render::AppModul::FrameRows rows{0, src.height(), frame.data(), line, 4, src.data(), line};
    rows.opacity = options.opacity;
    switch (routine) {
        case Engine::Routine::Bilinear:
            Render::AppModul::RotateFrameBilinear(i, p, src, rows, options.kernel);
            break;
        case Engine::Routine::Nearest:
            Render::AppModul::RotateFrameNearest(i, p, src, rows, options.kernel);
            break;
        case Engine::Routine::Sharp:
            Render::AppModul::RotateFrameSharp(i, p, src, rows, options.kernel);
            break;
    }
    return frame;
}

// The same by the reference's flag: true for the bilinear routine.
inline Engine::PixelGrid Frame(bool bilinear, int32_t i, const Engine::KnobParams& p,
                               const Engine::PixelGrid& src, FrameOptions options = {}) {
    return Frame(bilinear ? Engine::Routine::Bilinear : Engine::Routine::Nearest, i, p, src,
                 options);
}

}  // namespace fixtures
