#pragma once

#include <cstdint>

namespace Engine {

// The three knob parameters as the parameter boxes give them, and the turn of
// frame 1, which only the command line sets. The start values are the
// window's and the command line's defaults.
struct KnobParams {
    int32_t FrameCount = 28;  // frames in the strip
    float RotRadius = 18.0f;  // radius of the turned disc, pixels
    float RotAngle = 10.0f;   // turn from one frame to the next, degrees, clockwise
    float StartAngle = 0.0f;  // turn of frame 1, degrees, clockwise
};

// Which routine turns a frame's pixels: the window's bilinear blend of the
// four source pixels around a turned position, the nearest source pixel, or
// the sharp one: a cubic filter over the sixteen around it, in premultiplied
// colour, with the disc's edge blended over a pixel.
enum class Routine { Bilinear, Nearest, Sharp };

// The routine's name, as the manifest states it.
constexpr const char* RoutineName(Routine routine) {
    switch (routine) {
        case Routine::Bilinear:
            return "bilinear";
        case Routine::Nearest:
            return "nearest";
        case Routine::Sharp:
            return "sharp";
    }
    return "bilinear";
}

}  // namespace Engine
