#pragma once

#include <QString>

#include <array>
#include <cstdint>

#include "knob_params.h"
#include "pixel_grid.h"
#include "strip_compositor.h"

// Strips composed straight into their file, band by band: the strip is never
// whole in memory.
namespace StripFiles {

struct WriteResult {
    bool ok = false;
    bool noMemory = false;  // the failure: no memory for the bands or the encoder
    QString reason;         // when !ok: why, a short German text
};

// What file a strip becomes: by the path's ending (".png", either case:
// PNG, else BMP), or as said. PngWithAlpha: RGBA, the fourth byte of
// SrcBits being the picture's opacity, turned with the frames.
enum class FileKind { ByName, Bmp, Png, PngWithAlpha };

// Composes the strip of the frames (as ComposeStrip does) into the file at
// path: an uncompressed 24-bit Windows bitmap, rows bottom-up, or PNG (see
// FileKind), with the same pixels. The file is
// written beside the target under a temporary name, flushed, and renamed over
// the target only when complete: a failure leaves an existing file as it was
// and no temporary file behind. The strip must fit StripFits.
WriteResult WriteStrip(const QString& path, StripOrientation orientation, const KnobParams& params,
                       bool bilinear, const PixelGrid& SrcBits, unsigned threads = 0,
                       FileKind kind = FileKind::ByName);

// The 54 bytes that open the bitmap file of a W x H strip: file header and
// 40-byte info header, 24 bits, uncompressed, bottom-up, 100 dots per inch,
// as the program has always written them.
std::array<uint8_t, 54> BmpHeader(int32_t width, int32_t height);

}  // namespace StripFiles
