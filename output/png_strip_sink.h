#pragma once

#include <cstddef>
#include <cstdint>

#include "png_encoder.h"
#include "strip_compositor.h"

namespace Output {

// The compositor's bands as the PNG encoder's rows: the encoder lends the
// memory of each band and takes it back filled. The compositor asks for
// bands top-down and hands them back in order, as the encoder takes them.
class PngStripSink final : public Render::StripSink {
public:
    explicit PngStripSink(Png::PngEncoder& encoder) : encoder_(encoder) {}

    int32_t width() const override { return encoder_.image().width; }
    int32_t height() const override { return encoder_.image().height; }
    int pixelBytes() const override { return encoder_.pixelBytes(); }
    bool keepsOpacity() const override { return encoder_.image().alpha; }
    int64_t bandBytes() const override { return encoder_.bandBytes(); }

    Render::BandView band(int32_t first, int32_t count) override {
        const Png::PngRows rows = encoder_.rows(first, count);
        return {rows.bits, static_cast<std::ptrdiff_t>(rows.stride)};
    }
    bool bandDone(int32_t first, int32_t count) override {
        return encoder_.rowsFilled(first, count);
    }

private:
    Png::PngEncoder& encoder_;
};

}  // namespace Output
