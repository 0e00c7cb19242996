#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "drawn_frames.h"
#include "frame_maker.h"
#include "knob_params.h"
#include "pixel_grid.h"

namespace Render {

// The frames of a picture that is a drawing, its disc drawn turned rather
// than its pixels turned: inside the disc, frame i of the drawn frames (the
// drawing drawn turned by frame i's angle about the picture's centre, on a
// picture of the same size); outside, the picture as it stands; over the
// disc's edge, and where the turned position falls outside the picture, the
// two blended as the sharp routine blends its edge, in premultiplied
// colour. `lay`: the drawn frames laid on this colour (0xRRGGBB) first, as
// the picture was for a strip without opacity. Nothing of it is turned by a
// frame of no turn, as in DiscFrames.
class DrawnDiscFrames final : public FrameMaker {
public:
    DrawnDiscFrames(const Engine::KnobParams& params, const Engine::PixelGrid& picture,
                    const Engine::DrawnFrames& drawn, std::optional<uint32_t> lay);

    int32_t frameWidth() const override { return picture_.width(); }
    int32_t frameHeight() const override { return picture_.height(); }
    int32_t frameCount() const override { return params_.FrameCount; }
    bool prepare(int pixelBytes, bool opacity) override;
    void build(int32_t i, const FrameTarget& target) const override;
    bool intact() const override;

private:
    const Engine::KnobParams params_;
    const Engine::PixelGrid& picture_;
    const Engine::DrawnFrames& drawn_;
    const std::optional<uint32_t> lay_;
    int pixelBytes_ = 4;
    bool opacity_ = false;
    mutable std::atomic<bool> unread_{false};  // a drawn frame could not be read back
};

}  // namespace Render
