#pragma once

#include <cstddef>
#include <cstdint>

namespace Render {

// Rows of one frame to build: frame rows first .. first + count - 1
// (0-based), the first at dest, rows bytesPerLine apart (negative: upwards in
// memory), each pixel as the sink takes it (see StripSink::pixelBytes).
struct FrameTarget {
    int32_t first = 0;
    int32_t count = 0;
    uint8_t* dest = nullptr;
    std::ptrdiff_t bytesPerLine = 0;
};

// What a strip's frames are made of: one picture turned in its disc, or a
// stack of layers that turn, slide and fade. The compositor asks it for rows
// of frames, on several threads at once, and lays them where the layout
// puts them.
class FrameMaker {
public:
    virtual ~FrameMaker() = default;

    // The size of every frame, pixels, and how many frames there are.
    virtual int32_t frameWidth() const = 0;
    virtual int32_t frameHeight() const = 0;
    virtual int32_t frameCount() const = 0;

    // Readies itself, once before any row is built, for a sink of 3 or 4
    // bytes a pixel that keeps opacity (as the fourth byte, straight) or not.
    // False for want of memory.
    virtual bool prepare(int pixelBytes, bool opacity) = 0;

    // Builds the target's rows of frame i (1-based), every pixel of them and
    // nothing else. Called from several threads at once: const, and nothing
    // it keeps may change.
    virtual void build(int32_t i, const FrameTarget& target) const = 0;

    // False when some frame could not be built as it should (frames kept
    // in a file that could not be read back): the strip is not to be kept.
    virtual bool intact() const { return true; }
};

// A maker that owns what another maker reads (its pixels, its drawn frames)
// and hands every call on to that one, named by forwardTo() as it is made.
class ForwardedFrames : public FrameMaker {
public:
    int32_t frameWidth() const override { return inner_->frameWidth(); }
    int32_t frameHeight() const override { return inner_->frameHeight(); }
    int32_t frameCount() const override { return inner_->frameCount(); }
    bool prepare(int pixelBytes, bool opacity) override {
        return inner_->prepare(pixelBytes, opacity);
    }
    void build(int32_t i, const FrameTarget& target) const override { inner_->build(i, target); }
    bool intact() const override { return inner_->intact(); }

protected:
    void forwardTo(FrameMaker& inner) { inner_ = &inner; }

private:
    FrameMaker* inner_ = nullptr;
};

}  // namespace Render
