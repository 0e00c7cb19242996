#pragma once

#include <cstdint>

// The three knob parameters as the parameter boxes give them, and the turn of
// frame 1, which only the command line sets.
struct KnobParams {
    int32_t FrameCount = 28;  // frames in the strip
    float RotRadius = 18.0f;  // radius of the turned disc, pixels
    float RotAngle = 10.0f;   // turn from one frame to the next, degrees, clockwise
    float StartAngle = 0.0f;  // turn of frame 1, degrees, clockwise
};
