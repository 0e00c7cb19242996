#pragma once

#include <QString>

#include <functional>

#include "build_rules.h"
#include "dib_blit.h"
#include "knob_params.h"
#include "message.h"
#include "pixel_grid.h"
#include "png_compression.h"
#include "strip_compositor.h"
#include "strip_layout.h"
#include "strip_names.h"

namespace Png {
class ByteSink;
}
namespace Platform {
class SafeFile;
}

namespace Output {

// Strips written to their files: composed straight into the file band by
// band, so that the strip is never whole in memory, or copied from a strip
// already drawn. The one writer of both programs: the same strip gives the
// same bytes, header included.

// The frames of a strip, as ComposeStrip builds them.
struct Frames {
    Engine::StripLayout layout = Engine::StripLayout::Horizontal();
    // The picture the frames make, pixels, as the plan sized it: the whole
    // strip, or a frame for a file of one frame.
    Engine::StripExtent size;
    // What the frames are made of: a picture turned in its disc, a stack.
    Render::FrameMaker* maker = nullptr;
    // PNG only: RGBA, the fourth byte of the source being the picture's
    // opacity, turned with the frames. Otherwise the strip is opaque.
    bool alpha = false;
    unsigned threads = 0;      // 0: one per core
    Render::FrameRange range;  // which frames, in the layout's first places
    uint32_t empty = 0;        // 0xAARRGGBB of a grid's places without a frame
    Png::PngCompression compression = Png::PngCompression::Default;  // PNG only
    // Told on the composing thread as bands are done: rows done, rows in all.
    std::function<void(int64_t done, int64_t total)> progress;
};

// Why a strip was not written.
enum class Stop {
    None,
    TooLarge,  // past Engine::StripFits
    Sink,      // the sink refused bytes: its error() says why
    NoMemory,  // for the bands, the encoder, or a sink in memory
    Encoder,   // the deflate encoder refused the data
};
struct Composed {
    Stop stop = Stop::None;
    int64_t width = 0;  // the strip's size, pixels
    int64_t height = 0;
};

// Why a strip stopped when the sink or the memory for a band did: Sink when
// the sink failed for a reason of its own (its error()), NoMemory when it
// could not grow (ENOMEM) or did not fail at all.
Stop SinkStop(const Png::ByteSink& out);

// The frames the range holds (all from the first to FrameCount when its
// count is -1).
int32_t FrameCountOf(const Frames& frames);

// Composes the strip into any byte sink as an uncompressed 24-bit Windows
// bitmap, rows bottom-up, or as PNG, with the same pixels. The strip must fit
// StripFits.
Composed ComposeInto(Png::ByteSink& out, Format format, const Frames& frames);

// What a stop means to the user, for the file named so (the sink's reason
// when the sink failed); an empty message when nothing stopped.
Messages::Message WhyStopped(const Composed& composed, const QString& name,
                             Messages::Reason sinkReason);

// A strip already drawn (32-bit pixels; the fourth byte is not written) as a
// bitmap file at path, put in place when complete: a failure leaves an
// existing file as it was and no temporary file behind. Fails with
// CannotSave, reason NoPicture, for an empty strip.
Messages::Message WriteStripImage(const QString& path, const Engine::ImageView& strip);

}  // namespace Output
