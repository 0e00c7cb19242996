#include "strip_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "bmp_header.h"
#include "build_rules.h"
#include "file_sink.h"
#include "png_encoder.h"
#include "png_strip_sink.h"
#include "safe_file.h"
#include "strip_compositor.h"

using namespace Engine;
using namespace Messages;
using namespace Platform;
using namespace Png;
using namespace Render;

namespace Output {

namespace {

// The bitmap file's rows as they lie in the file: bottom-up, padded to four
// bytes with zeros. Each band goes out as soon as it is complete, and its
// write-back starts at once, so the final flush finds little left.
class BmpSink final : public StripSink {
public:
    BmpSink(ByteSink& out, int32_t width, int32_t height)
        : out_(out), width_(width), height_(height), line_(BmpHeader::RowBytes(width)) {}

    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }
    int pixelBytes() const override { return 3; }
    bool bottomUp() const override { return true; }

    BandView band(int32_t, int32_t count) override {
        std::vector<uint8_t>& buffer = buffers_[opened_++ % 2];
        const std::size_t bytes = static_cast<std::size_t>(count) * line_;
        try {
            // New bytes are zeros, so the padding is; frames never write it.
            if (buffer.size() < bytes) buffer.resize(bytes);
        } catch (const std::bad_alloc&) {
            return {};
        }
        return {buffer.data() + (bytes - line_), -static_cast<std::ptrdiff_t>(line_)};
    }

    bool bandDone(int32_t, int32_t count) override {
        const std::vector<uint8_t>& buffer = buffers_[done_++ % 2];
        return out_.write(buffer.data(), static_cast<std::size_t>(count) * line_);
    }

private:
    ByteSink& out_;
    const int32_t width_, height_;
    const std::size_t line_;
    std::vector<uint8_t> buffers_[2];
    int opened_ = 0, done_ = 0;
};

bool writeBmpHeader(ByteSink& out, int32_t width, int32_t height) {
    const auto header = BmpHeader::Write(width, height);
    return out.write(header.data(), header.size());
}

// The rows of a strip already drawn, band by band in the sink's order.
bool copyImage(const ImageView& image, StripSink& sink) {
    const int32_t rows = static_cast<int32_t>(
        std::clamp<int64_t>(sink.bandBytes() / (int64_t{image.width} * 4 + 1), 1, image.height));
    const int bytes = sink.pixelBytes();
    for (int32_t k = 0; k < image.height; k += rows) {
        const int32_t count = std::min(rows, image.height - k);
        const int32_t first = sink.bottomUp() ? image.height - k - count : k;
        const BandView view = sink.band(first, count);
        if (view.bits == nullptr) return false;
        for (int32_t r = 0; r < count; ++r) {
            uint8_t* out = view.bits + std::ptrdiff_t{r} * view.bytesPerLine;
            const uint8_t* in = image.pixel(0, first + r);
            for (int32_t x = 0; x < image.width; ++x)
                std::memcpy(out + std::ptrdiff_t{x} * bytes, in + std::ptrdiff_t{x} * 4,
                            static_cast<std::size_t>(bytes));
        }
        if (!sink.bandDone(first, count)) return false;
    }
    return true;
}

// Why the writing stopped, as a message about the file.
Message stopped(SafeFile& file, const ByteSink& out, const Composed& composed) {
    Message why = WhyStopped(composed, file.name(), SystemReason(out.error()));
    if (why) file.discard();
    return why;
}

Message committed(SafeFile& file, Message written) {
    if (written) return written;
    if (!file.commit()) return file.cannotSave();
    return {};
}

}  // namespace

Message WhyStopped(const Composed& composed, const QString& name, Reason sinkReason) {
    const auto cannot = [&](Reason reason) {
        return Message{.code = MessageCode::CannotSave, .reason = reason, .subject = name};
    };
    switch (composed.stop) {
        case Stop::None:
            return {};
        case Stop::TooLarge:
            return {.code = MessageCode::StripTooLarge,
                    .facts = {{Fact::Width, composed.width},
                              {Fact::Height, composed.height},
                              {Fact::MaxPixels, kMaxStripPixels}}};
        case Stop::Sink:
            return cannot(sinkReason);
        case Stop::Encoder:
            return cannot({MessageCode::NotEncoded, 0});
        case Stop::NoMemory:
            return {.code = MessageCode::NoMemoryForStrip,
                    .facts = {{Fact::Width, composed.width}, {Fact::Height, composed.height}}};
    }
    return {};
}

Stop SinkStop(const ByteSink& out) {
    return out.failed() && out.error() != ENOMEM ? Stop::Sink : Stop::NoMemory;
}

int32_t FrameCountOf(const Frames& frames) {
    return frames.range.count < 0 ? frames.maker->frameCount() - frames.range.first + 1
                                  : frames.range.count;
}

namespace {

// Any sink, telling how many of the strip's rows are done as each band is.
class CountingSink final : public StripSink {
public:
    CountingSink(StripSink& sink, const Frames& frames) : sink_(sink), frames_(frames) {}
    int32_t width() const override { return sink_.width(); }
    int32_t height() const override { return sink_.height(); }
    int pixelBytes() const override { return sink_.pixelBytes(); }
    bool bottomUp() const override { return sink_.bottomUp(); }
    bool keepsOpacity() const override { return sink_.keepsOpacity(); }
    int64_t bandBytes() const override { return sink_.bandBytes(); }
    BandView band(int32_t first, int32_t count) override { return sink_.band(first, count); }
    bool bandDone(int32_t first, int32_t count) override {
        if (!sink_.bandDone(first, count)) return false;
        done_ += count;
        frames_.progress(done_, sink_.height());
        return true;
    }

private:
    StripSink& sink_;
    const Frames& frames_;
    int64_t done_ = 0;
};

}  // namespace

Composed ComposeInto(ByteSink& out, Format format, const Frames& frames) {
    const StripExtent size = frames.size;
    Composed composed{Stop::None, size.X, size.Y};
    if (frames.maker == nullptr || !StripFits(size)) {
        composed.stop = Stop::TooLarge;
        return composed;
    }
    const auto w = static_cast<int32_t>(size.X), h = static_cast<int32_t>(size.Y);
    const auto compose = [&](StripSink& sink) {
        CountingSink counted(sink, frames);
        StripSink& into = frames.progress ? static_cast<StripSink&>(counted) : sink;
        return ComposeFrames(frames.layout, *frames.maker, into, frames.threads, frames.range,
                             frames.empty);
    };
    if (format == Format::Bmp) {
        BmpSink sink(out, w, h);
        if (!(writeBmpHeader(out, w, h) && compose(sink))) composed.stop = SinkStop(out);
        return composed;
    }
    // PNG strips state the bitmaps' density, as they always have.
    PngEncoder encoder(out, {w, h, frames.alpha, BmpHeader::kPixelsPerMetre},
                       {frames.compression, frames.threads});
    PngStripSink sink(encoder);
    if (encoder.begin() && compose(sink) && encoder.finish()) return composed;
    composed.stop =
        encoder.failure() == PngEncoder::Failure::Encoder ? Stop::Encoder : SinkStop(out);
    return composed;
}

Message WriteStripImage(const QString& path, const ImageView& strip) {
    SafeFile file(path);
    if (strip.bits == nullptr || strip.width < 1 || strip.height < 1)
        return {.code = MessageCode::CannotSave,
                .reason = {MessageCode::NoPicture, 0},
                .subject = file.name()};
    if (!file.open()) return file.cannotSave();
    FileSink out(file);
    BmpSink sink(out, strip.width, strip.height);
    if (!writeBmpHeader(out, strip.width, strip.height) || !copyImage(strip, sink))
        return stopped(file, out, {SinkStop(out), strip.width, strip.height});
    return committed(file, {});
}

}  // namespace Output
