#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "knob_params.h"
#include "strip_layout.h"

namespace Engine {

// A text the build command writes into a parameter box before it builds;
// index 0 is the frame count, 1 the radius, 2 the angle.
struct BoxWrite {
    int index = 0;
    std::string text;
    bool operator==(const BoxWrite&) const = default;
};

// The repairs, in the order they are written: a frame count below 1 becomes
// "1", a negative radius "1", an angle of 0 is written as "0". A radius of 0
// is left alone.
std::vector<BoxWrite> ParameterRepairs(const KnobParams& params);

// Largest height of a vertical strip, in pixels.
inline constexpr int32_t kMaxVerticalStripHeight = 8000;

// The frame count a vertical strip is lowered to when PicH x FrameCount is
// over 8000 pixels: the whole-number quotient 8000 / PicH. Nothing when the
// strip fits (exactly 8000 fits).
std::optional<int32_t> LimitVerticalFrameCount(int32_t PicH, int32_t FrameCount);

// A strip's width and height in pixels. 64-bit: a frame count from the box
// can make them far larger than any picture.
struct StripExtent {
    int64_t X = 0;
    int64_t Y = 0;
    bool operator==(const StripExtent&) const = default;
};
StripExtent ComputeStripSize(const StripLayout& layout, int32_t PicW, int32_t PicH,
                             int32_t FrameCount);

// The largest strip the program makes, shows and saves: at most kMaxStripPixels
// pixels (256 MiB at four bytes a pixel; the saved 24-bit file stays under
// 200 MB) and at most kMaxStripSide pixels in either direction.
inline constexpr int64_t kMaxStripPixels = int64_t{1} << 26;
inline constexpr int64_t kMaxStripSide = 16'777'215;
bool StripFits(const StripExtent& size);

// Largest width and height of a picture the window takes, pixels.
inline constexpr int32_t kMaxPictureSide = 121;

// Everything a strip build decides before it draws, from the picture's size,
// the parameters as the boxes give them and the layout:
// - repairs: the texts to write into the parameter boxes, in order;
// - params: the parameters after those repairs and the vertical limit;
// - loweredFrames: set when a vertical strip's frame count was lowered;
// - size: the strip's size in pixels with those parameters;
// - fits: whether that strip can be made (StripFits).
// Only a vertical strip is lowered; one that does not fit is not built.
struct StripBuild {
    std::vector<BoxWrite> repairs;
    KnobParams params;
    std::optional<int32_t> loweredFrames;
    StripExtent size;
    bool fits = false;
};
// What the command line adds to the window's plan:
// - sweep: the turn from the first frame to the last, degrees; RotAngle
//   becomes sweep / (FrameCount - 1) for the final frame count (0 for one
//   frame), so the last frame always lands on it;
// - limitVertical: whether a vertical strip is held to 8000 pixels, as the
//   window's strip box needs.
struct PlanChoices {
    std::optional<double> sweep;
    bool limitVertical = true;
};
StripBuild BuildStrip(const StripLayout& layout, int32_t PicW, int32_t PicH,
                      const KnobParams& params, const PlanChoices& choices = {});

}  // namespace Engine
