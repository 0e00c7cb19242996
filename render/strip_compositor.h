#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "frame_maker.h"
#include "knob_params.h"
#include "pixel_grid.h"
#include "strip_layout.h"

namespace Render {

// Memory for one band of strip rows: `bits` at the band's top row, rows
// bytesPerLine apart (negative when the rows lie bottom-up in memory, as in
// a bitmap file). bits == nullptr: the sink has no memory for it.
struct BandView {
    uint8_t* bits = nullptr;
    std::ptrdiff_t bytesPerLine = 0;
};

// Where the composed strip goes: a drawing surface, a file being written.
// The compositor hands it the strip in bands of whole rows, in the sink's
// order. All calls come from the thread that runs ComposeStrip.
class StripSink {
public:
    virtual ~StripSink() = default;

    // The sink's picture in pixels. Frames or parts of frames beyond it are
    // left out; rows and columns beyond the frames are never touched.
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    // 4: blue, green, red, fourth byte (255: the strip is opaque);
    // 3: blue, green, red.
    virtual int pixelBytes() const = 0;
    // Bands from the strip's last rows up, as a bottom-up file stores them.
    virtual bool bottomUp() const { return false; }
    // Four-byte pixels only: the fourth byte is the picture's opacity, which
    // the frames keep and turn (AppModul::FrameRows::opacity), instead of 255.
    virtual bool keepsOpacity() const { return false; }
    // About how many bytes of rows a band may hold (at least one row).
    virtual int64_t bandBytes() const { return kDefaultBandBytes; }

    // Small enough that two bands and the program stay far below the
    // memory of a whole strip; large enough that a frame is cut into few
    // pieces (each piece sets its frame up anew). Tall pictures get tall
    // bands by themselves: a strip has at most 2^26 pixels, so its rows are
    // short when its frames are high.
    static constexpr int64_t kDefaultBandBytes = int64_t{4} << 20;

    // Memory for strip rows first .. first + count - 1 (row 0 at the top).
    // Every pixel that a frame covers in those rows is written; no other
    // byte. Two bands may be open at once: the next band is asked for
    // before the previous one is done, so that the frames go on being built
    // while the sink takes a band.
    virtual BandView band(int32_t first, int32_t count) = 0;
    // The band's pixels are complete; bands come in the order asked for.
    // False: the sink cannot go on, and the composition stops.
    virtual bool bandDone(int32_t first, int32_t count) = 0;
};

// Which frames a strip holds: frames first .. first + count - 1 of the knob
// sequence (1-based; count -1: up to params.FrameCount). The first of them
// takes the layout's first place, and so on.
struct FrameRange {
    int32_t first = 1;
    int32_t count = -1;
};

// Composes the frames the maker makes into the sink where the layout puts
// them. Every pixel is computed once; frames beyond the sink are not built.
// The places a grid's short last row leaves without a frame get the pixel
// `empty` (0xAARRGGBB; its first bytes in three-byte sinks). Up to `threads`
// threads build frames (0: one per core); the bytes are those one thread
// makes. True when every band reached the sink (nothing to compose counts as
// done); false when the sink stopped it, or it or the maker had no memory.
bool ComposeFrames(const Engine::StripLayout& layout, FrameMaker& maker, StripSink& sink,
                   unsigned threads = 0, FrameRange frames = {}, uint32_t empty = 0);

// The frames of the knob strip: frame i is SrcBits with the disc around its
// centre turned as (i - 1) x RotAngle plus StartAngle, built by the routine
// RotateMode names (AppModul::RotateFrameBilinear, ...).
class DiscFrames final : public FrameMaker {
public:
    DiscFrames(const Engine::KnobParams& params, Engine::Routine RotateMode,
               const Engine::PixelGrid& SrcBits);
    ~DiscFrames() override;

    int32_t frameWidth() const override { return src_.width(); }
    int32_t frameHeight() const override { return src_.height(); }
    int32_t frameCount() const override { return params_.FrameCount; }
    bool prepare(int pixelBytes, bool opacity) override;
    void build(int32_t i, const FrameTarget& target) const override;

    struct Source;

private:
    const Engine::KnobParams params_;
    const Engine::Routine routine_;
    const Engine::PixelGrid& src_;
    int pixelBytes_ = 4;
    bool opacity_ = false;
    std::unique_ptr<Source> source_;
};

// The knob strip's frames (DiscFrames) composed into the sink (W x H the
// size of SrcBits).
bool ComposeStrip(const Engine::StripLayout& layout, const Engine::KnobParams& params,
                  Engine::Routine RotateMode, const Engine::PixelGrid& SrcBits, StripSink& sink,
                  unsigned threads = 0, FrameRange frames = {}, uint32_t empty = 0);

}  // namespace Render
