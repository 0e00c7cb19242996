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

// How a layer of a stack moves with a frame's value: not at all, turning
// about its pivot, sliding from one place to another, or fading in or out.
enum class LayerMotion { Still, Turn, Slide, Fade };

// The motion's name, as the command line, a recipe and the manifest say it.
constexpr const char* MotionName(LayerMotion motion) {
    switch (motion) {
        case LayerMotion::Still:
            return "still";
        case LayerMotion::Turn:
            return "turn";
        case LayerMotion::Slide:
            return "slide";
        case LayerMotion::Fade:
            return "fade";
    }
    return "still";
}

// How a value arc is drawn: its colour and that of the track for the rest
// of the arc (0xAARRGGBB, straight), its width and the radius of its middle
// line (pixels of the canvas at 1x; 0: a default that fits the canvas),
// whether it grows from the arc's middle (pan, bipolar) rather than its
// start, and whether its ends are round or cut flat.
struct ArcStyle {
    uint32_t colour = 0xFFFFFFFFu;
    uint32_t track = 0;
    bool hasTrack = false;
    double width = 0.0;
    double radius = 0.0;
    bool fromMiddle = false;
    bool roundEnds = true;
};

}  // namespace Engine
