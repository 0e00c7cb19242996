#include "build_rules.h"

#include "leading_number.h"

namespace Engine {

std::vector<BoxWrite> ParameterRepairs(const KnobParams& params) {
    std::vector<BoxWrite> writes;
    if (params.FrameCount < 1) writes.push_back({0, "1"});
    if (params.RotRadius < 0.0f) writes.push_back({1, "1"});
    if (params.RotAngle == 0.0f) writes.push_back({2, "0"});
    return writes;
}

std::optional<int32_t> LimitVerticalFrameCount(int32_t PicH, int32_t FrameCount) {
    if (PicH < 1 || int64_t{PicH} * FrameCount <= kMaxVerticalStripHeight) return std::nullopt;
    return kMaxVerticalStripHeight / PicH;
}

StripExtent ComputeStripSize(const StripLayout& layout, int32_t PicW, int32_t PicH,
                             int32_t FrameCount) {
    return {int64_t{PicW} * layout.Columns(FrameCount), int64_t{PicH} * layout.Rows(FrameCount)};
}

bool StripFits(const StripExtent& size) {
    return size.X >= 1 && size.Y >= 1 && size.X <= kMaxStripSide && size.Y <= kMaxStripSide &&
           size.X * size.Y <= kMaxStripPixels;
}

StripBuild BuildStrip(const StripLayout& layout, int32_t PicW, int32_t PicH,
                      const KnobParams& params, const PlanChoices& choices) {
    StripBuild plan;
    plan.repairs = ParameterRepairs(params);
    plan.params = params;
    // What the repaired boxes read back as.
    if (plan.params.FrameCount < 1) plan.params.FrameCount = 1;
    if (plan.params.RotRadius < 0.0f) plan.params.RotRadius = 1.0f;
    if (layout.kind() == StripLayout::Kind::Vertical && choices.limitVertical) {
        plan.loweredFrames = LimitVerticalFrameCount(PicH, plan.params.FrameCount);
        if (plan.loweredFrames) plan.params.FrameCount = *plan.loweredFrames;
    }
    if (choices.sweep) {
        const int32_t steps = plan.params.FrameCount - 1;
        plan.params.RotAngle = steps > 0 ? ToFloat32(*choices.sweep / steps) : 0.0f;
    }
    plan.size = ComputeStripSize(layout, PicW, PicH, plan.params.FrameCount);
    plan.fits = StripFits(plan.size);
    return plan;
}

}  // namespace Engine
