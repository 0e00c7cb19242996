#pragma once

#include <cstdint>

#include "dib_blit.h"
#include "knob_params.h"
#include "pixel_grid.h"
#include "strip_compositor.h"

namespace Render {

// Renders frames 1..FrameCount of the knob sequence into the strip surface
// where the layout puts them (for a horizontal strip frame i at columns
// (i - 1) x W .. i x W - 1, for a vertical one at rows (i - 1) x H .. i x H -
// 1; W x H the size of SrcBits).
// RotateMode picks the routine that turns the frames.
// Parts of frames beyond the surface are clipped. Nothing is drawn when
// FrameCount is below 1.
//
// The surface is a sink of the strip compositor (ComposeStrip), the same
// that streams strips into files: up to `threads` threads (0: one per core),
// and the strip byte for byte the one a single thread makes.
void RenderStrip(const Engine::StripLayout& layout, const Engine::KnobParams& params,
                 Engine::Routine RotateMode, const Engine::PixelGrid& SrcBits,
                 const Engine::ImageView& strip, unsigned threads = 0);

}  // namespace Render
