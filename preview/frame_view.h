#pragma once

#include <cstdint>
#include <optional>

namespace Preview {

// The rules of the frame test view and the pointer readouts, without the
// window.

// Largest magnified frame, pixels.
inline constexpr int kMaxMagnifiedSide = 256;
// How far the pointer must move up or down, beyond this many pixels, for the
// drag to step a frame.
inline constexpr int kDragThreshold = 4;

// The largest factor not above `factor` at which a PicW x PicH frame fits
// into maxSide x maxSide pixels (at least 1).
int32_t FitMagnification(int32_t factor, int32_t PicW, int32_t PicH,
                         int32_t maxSide = kMaxMagnifiedSide);

// Where frame n's PicW x PicH rectangle lies in the strip, as StretchDIBits
// takes it: its y is measured from the strip's bottom edge, (FrameCount - n)
// x PicH for a vertical strip.
struct SourceRect {
    int64_t x = 0, y = 0;
};
SourceRect FrameSourceRect(bool horizontal, int64_t n, int64_t FrameCount, int32_t PicW,
                           int32_t PicH);

// One move of the drag through the frames with the left button: nothing
// unless the pointer is more than 4 pixels above or below the anchor; then
// one frame forward (up) or back (down), the anchor moved to the pointer.
struct DragState {
    int32_t TestFrame = 0;
    int16_t DragLastY = 0;
};
struct DragStep {
    DragState state;
    bool moveSelector = false;  // set the frame selector to state.TestFrame
};
std::optional<DragStep> Drag(DragState current, int Y, int32_t FrameCount, int32_t selectorMax);

// The number of the frame under the pointer (1-based, not limited to the
// strip): position p over extent e divided into FrameCount equal parts,
// floor(p / (e / FrameCount)) + 1. Strips hold more frames than 16 bits
// count, and the frame selector reaches them all, so the number is given as
// far as 32 bits go. Nothing when FrameCount is 0 or the result does not fit.
std::optional<int32_t> FrameUnderPointer(int p, double extent, int32_t FrameCount);

}  // namespace Preview
