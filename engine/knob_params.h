#pragma once

#include <cstdint>

// The three knob parameters as the parameter boxes give them.
struct KnobParams {
    int32_t FrameCount = 28;  // frames in the strip
    float RotRadius = 18.0f;  // radius of the turned disc, pixels
    float RotAngle = 10.0f;   // turn from one frame to the next, degrees, clockwise
};
