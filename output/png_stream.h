#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "strip_compositor.h"

class SafeFile;

// A PNG file of the strip, fed by the compositor band by band: 8-bit RGB,
// or RGBA for a strip that keeps its opacity, every row filtered with "Sub"
// (each byte less the same channel of the pixel to its left), the rows
// deflated into one zlib stream.
//
// libdeflate compresses about twice as fast as zlib at the same size, but
// only a whole buffer in one call: it can neither continue a stream nor
// flush one, and a PNG's image data is one stream. So the filtered rows are
// gathered and deflated in one call when they take at most
// kWholePictureBytes; a larger strip is deflated by zlib as the bands come,
// in bounded memory.
class PngSink final : public StripSink {
public:
    static constexpr std::int64_t kWholePictureBytes = std::int64_t{64} << 20;

    // Filtered rows of up to wholeLimit bytes are gathered and deflated in
    // one call; more are streamed.
    // alpha: RGBA, from four-byte pixels whose fourth byte is the opacity.
    PngSink(SafeFile& file, int32_t width, int32_t height,
            std::int64_t wholeLimit = kWholePictureBytes, bool alpha = false);
    ~PngSink() override;
    PngSink(const PngSink&) = delete;
    PngSink& operator=(const PngSink&) = delete;

    // The signature and the header chunks. False when the file failed or
    // memory lacked.
    bool begin();
    // The rest of the image data and the end chunk.
    bool finish();
    // After a failure that was neither the file's nor a lack of memory: the
    // deflate encoder refused the data.
    bool encoderFailed() const { return encoderFailed_; }

    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }
    int pixelBytes() const override { return channels_; }
    bool keepsOpacity() const override { return channels_ == 4; }
    BandView band(int32_t first, int32_t count) override;
    bool bandDone(int32_t first, int32_t count) override;

private:
    class Stream;

    bool chunk(const char* type, const uint8_t* data, std::size_t size);
    bool imageData(const uint8_t* data, std::size_t size, bool last);
    bool deflateWhole();

    SafeFile& file_;
    const int32_t width_, height_;
    const std::int64_t wholeLimit_;
    const int channels_;      // 3: RGB, 4: RGBA
    const std::size_t line_;  // bytes of a filtered row: filter type and channels x width
    std::vector<uint8_t> bands_[2];
    int opened_ = 0, done_ = 0;
    std::unique_ptr<uint8_t[]> picture_;  // the whole picture's filtered rows
    std::size_t filled_ = 0;
    std::vector<uint8_t> bandRows_;   // one band's filtered rows, when streamed
    std::vector<uint8_t> pending_;    // image data not yet in a chunk
    std::unique_ptr<Stream> stream_;  // zlib, for pictures too large to gather
    bool encoderFailed_ = false;
};
