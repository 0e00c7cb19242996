#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "drawn_frames.h"
#include "frame_maker.h"
#include "knob_params.h"
#include "pixel_grid.h"
#include "value_arc.h"

namespace Render {

// One layer of a stack, and how it moves with the value v of a frame
// (v = (i - 1) / (frames - 1), 0 for one frame).
struct StackLayer {
    using Motion = Engine::LayerMotion;
    // The layer's pixels (blue, green, red, straight opacity); nullptr for
    // a drawn arc. Owned by the caller, for as long as the frames are made.
    const Engine::PixelGrid* pixels = nullptr;
    Motion motion = Motion::Still;
    // Its top-left corner on the canvas, pixels (at value 0 for a slide);
    // a layer that does not slide lies at the whole pixel below it.
    double x = 0.0, y = 0.0;
    // Slide: the top-left corner at value 1, pixels (may lie between them).
    double toX = 0.0, toY = 0.0;
    // Fade: opacity at value 0 and 1 (0 clear, 1 as drawn).
    double fadeFrom = 0.0, fadeTo = 1.0;
    // Turn: the whole layer turns about this point of it (continuous
    // coordinates of the layer, rounded to a half pixel), frame i by
    // (i - 1) x turn.RotAngle + turn.StartAngle degrees, as a one-picture
    // strip's frame i turns; turn.RotRadius and FrameCount are not used.
    double pivotX = 0.0, pivotY = 0.0;
    Engine::KnobParams turn;
    std::optional<ValueArc> arc;
    // Instead of pixels that move: the layer drawn for each frame, already
    // turned or slid, on a picture the canvas's size (owned by the caller).
    const Engine::DrawnFrames* drawn = nullptr;
};

// The frames of a stack of layers on a canvas of width x height pixels:
// frame i is every layer, bottom first, at frame i's value, laid over the
// ones below in premultiplied colour, so that an edge neither darkens nor
// takes the colour of a clear pixel. A sink that keeps opacity gets it
// straight; an opaque one gets the stack laid on `background` (0xAARRGGBB,
// its alpha not used). A turning layer turns whole, by `routine`.
class StackFrames final : public FrameMaker {
public:
    StackFrames(int32_t width, int32_t height, int32_t frames, std::vector<StackLayer> layers,
                Engine::Routine routine, uint32_t background);
    ~StackFrames() override;

    int32_t frameWidth() const override { return width_; }
    int32_t frameHeight() const override { return height_; }
    int32_t frameCount() const override { return frames_; }
    bool prepare(int pixelBytes, bool opacity) override;
    void build(int32_t i, const FrameTarget& target) const override;
    bool intact() const override { return !unread_; }

    struct Prepared;

private:
    double valueOf(int32_t i) const;
    void buildRows(int32_t i, const FrameTarget& target) const;

    const int32_t width_, height_, frames_;
    const std::vector<StackLayer> layers_;
    const Engine::Routine routine_;
    const uint32_t background_;
    int pixelBytes_ = 4;
    bool opacity_ = false;
    std::vector<std::unique_ptr<Prepared>> prepared_;  // one for each layer
    mutable std::atomic<bool> unread_{false};          // a drawn layer's rows could not be read
};

}  // namespace Render
