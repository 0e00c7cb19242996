#include "strip_render.h"

using namespace Engine;

namespace Render {

namespace {

// The drawing surface as a sink: bands are its own rows, drawn in place.
class SurfaceSink final : public StripSink {
public:
    explicit SurfaceSink(const ImageView& surface) : surface_(surface) {}
    int32_t width() const override { return surface_.bits != nullptr ? surface_.width : 0; }
    int32_t height() const override { return surface_.bits != nullptr ? surface_.height : 0; }
    int pixelBytes() const override { return 4; }
    BandView band(int32_t first, int32_t) override {
        return {surface_.pixel(0, first), surface_.bytesPerLine};
    }
    bool bandDone(int32_t, int32_t) override { return true; }

private:
    const ImageView& surface_;
};

}  // namespace

void RenderStrip(const StripLayout& layout, const KnobParams& params, Routine RotateMode,
                 const PixelGrid& SrcBits, const ImageView& strip, unsigned threads) {
    SurfaceSink sink(strip);
    ComposeStrip(layout, params, RotateMode, SrcBits, sink, threads);
}

}  // namespace Render
