#pragma once

#include <cstdint>
#include <vector>

#include "strip_writer.h"

namespace Output {

// An animated PNG that plays a knob's arc forth and back, looping: to look
// at a strip before it is built into a user interface. Browsers and image
// viewers that know animated PNG play it; others show its first frame.

// One sweep from the first frame to the last takes about this long.
inline constexpr int kSweepMilliseconds = 1500;
// No frame shows shorter than this: players show shorter ones far longer.
inline constexpr int kShortestFrameMilliseconds = 20;

// The frames the animation shows, by number (1-based) in order: the first to
// the last, then back, without showing either end twice in a row; every
// k-th frame only (the last one always), k as small as keeps each frame at
// least kShortestFrameMilliseconds within the sweep. One frame: just it.
std::vector<int32_t> AnimationFrames(int32_t frames);

// How long each frame shows, milliseconds.
int AnimationDelay(int32_t frames);

// Writes the animation of the frames of `frames` (its layout and range are
// not used: every frame from 1 to FrameCount, each a picture of its own),
// RGBA or RGB as its alpha says, each frame compressed once as the strip
// encoder compresses a picture.
Composed WriteAnimation(Png::ByteSink& out, const Frames& frames);

}  // namespace Output
