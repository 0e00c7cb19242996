#include "frame_view.h"

#include <cmath>
#include <limits>

namespace Preview {

int32_t FitMagnification(int32_t factor, int32_t PicW, int32_t PicH, int32_t maxSide) {
    while (factor > 1 && (int64_t{factor} * PicW > maxSide || int64_t{factor} * PicH > maxSide))
        --factor;
    return factor;
}

SourceRect FrameSourceRect(bool horizontal, int64_t n, int64_t FrameCount, int32_t PicW,
                           int32_t PicH) {
    if (horizontal) return {(n - 1) * PicW, 0};
    return {0, (FrameCount - n) * PicH};
}

std::optional<DragStep> Drag(DragState current, int Y, int32_t FrameCount, int32_t selectorMax) {
    if (!(Y > current.DragLastY + kDragThreshold || Y < current.DragLastY - kDragThreshold))
        return std::nullopt;
    DragStep step;
    step.state.TestFrame = current.DragLastY < Y ? current.TestFrame - 1 : current.TestFrame + 1;
    constexpr int kLow = std::numeric_limits<int16_t>::min();
    constexpr int kHigh = std::numeric_limits<int16_t>::max();
    step.state.DragLastY = static_cast<int16_t>(Y < kLow ? kLow : (Y > kHigh ? kHigh : Y));
    // The upper end is the frame count, but never past the selector's range
    // (the count may have been raised since the strip was built).
    const int32_t last = FrameCount < selectorMax ? FrameCount : selectorMax;
    if (step.state.TestFrame > last) {
        step.state.TestFrame = last;
    } else if (step.state.TestFrame < 1) {
        step.state.TestFrame = 1;
    } else {
        step.moveSelector = true;
    }
    return step;
}

std::optional<int32_t> FrameUnderPointer(int p, double extent, int32_t FrameCount) {
    if (FrameCount == 0) return std::nullopt;
    const double k = std::floor(p / (extent / FrameCount));
    if (!(k + 1 >= std::numeric_limits<int32_t>::min() &&
          k + 1 <= std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return static_cast<int32_t>(k) + 1;
}

}  // namespace Preview
