#include "strip_writer.h"

#include <cerrno>
#include <new>
#include <vector>

#include "build_rules.h"
#include "png_stream.h"
#include "safe_file.h"

namespace StripFiles {

namespace {

constexpr uint32_t kPixelsPerMetre = 3937;  // 100 dots per inch

void putLittle(uint8_t* p, uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

uint32_t bmpLine(int32_t width) {
    return (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
}

// The bitmap file's rows as they lie in the file: bottom-up, padded to four
// bytes with zeros. Each band goes out as soon as it is complete, and its
// write-back starts at once, so the final flush finds little left.
class BmpSink final : public StripSink {
public:
    BmpSink(SafeFile& file, int32_t width, int32_t height)
        : file_(file), width_(width), height_(height), line_(bmpLine(width)) {}

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
        if (!file_.write(buffer.data(), static_cast<std::size_t>(count) * line_)) return false;
        file_.startWriteBack();
        return true;
    }

private:
    SafeFile& file_;
    const int32_t width_, height_;
    const std::size_t line_;
    std::vector<uint8_t> buffers_[2];
    int opened_ = 0, done_ = 0;
};

struct Strip {
    StripOrientation orientation;
    const KnobParams& params;
    bool bilinear;
    const PixelGrid& src;
    unsigned threads;

    bool composeInto(StripSink& sink) const {
        return ComposeStrip(orientation, params, bilinear, src, sink, threads);
    }
};

bool writeBmp(SafeFile& file, const Strip& strip, int32_t w, int32_t h) {
    const auto header = BmpHeader(w, h);
    BmpSink sink(file, w, h);
    return file.write(header.data(), header.size()) && strip.composeInto(sink);
}

bool writePng(SafeFile& file, const Strip& strip, int32_t w, int32_t h, bool alpha) {
    PngSink sink(file, w, h, PngSink::kWholePictureBytes, alpha);
    return sink.begin() && strip.composeInto(sink) && sink.finish();
}

}  // namespace

std::array<uint8_t, 54> BmpHeader(int32_t width, int32_t height) {
    const uint32_t image = bmpLine(width) * static_cast<uint32_t>(height);
    std::array<uint8_t, 54> h{};
    h[0] = 'B';
    h[1] = 'M';
    putLittle(&h[2], 54 + image, 4);  // file size
    putLittle(&h[10], 54, 4);         // where the pixels start
    putLittle(&h[14], 40, 4);         // info header size
    putLittle(&h[18], static_cast<uint32_t>(width), 4);
    putLittle(&h[22], static_cast<uint32_t>(height), 4);  // positive: bottom-up
    putLittle(&h[26], 1, 2);                              // planes
    putLittle(&h[28], 24, 2);                             // bits per pixel
    putLittle(&h[34], image, 4);
    putLittle(&h[38], kPixelsPerMetre, 4);
    putLittle(&h[42], kPixelsPerMetre, 4);
    return h;
}

WriteResult WriteStrip(const QString& path, StripOrientation orientation, const KnobParams& params,
                       bool bilinear, const PixelGrid& SrcBits, unsigned threads, FileKind kind) {
    const StripExtent size =
        ComputeStripSize(orientation, SrcBits.width(), SrcBits.height(), params.FrameCount);
    if (SrcBits.empty() || size.X < 1 || size.Y < 1 || !StripFits(size))
        return {false, false, FileErrorReason(EFBIG)};
    SafeFile file(path);
    if (!file.open()) return {false, false, file.reason()};
    const Strip strip{orientation, params, bilinear, SrcBits, threads};
    const auto w = static_cast<int32_t>(size.X), h = static_cast<int32_t>(size.Y);
    if (kind == FileKind::ByName)
        kind = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? FileKind::Png
                                                                          : FileKind::Bmp;
    const bool written = kind == FileKind::Bmp
                             ? writeBmp(file, strip, w, h)
                             : writePng(file, strip, w, h, kind == FileKind::PngWithAlpha);
    if (!written) {
        // Not the file: then the memory for the bands or the encoder.
        const bool lacking = !file.failed();
        const QString reason = lacking ? FileErrorReason(ENOMEM) : file.reason();
        file.discard();
        return {false, lacking, reason};
    }
    if (!file.commit()) return {false, false, file.reason()};
    return {true, false, {}};
}

}  // namespace StripFiles
