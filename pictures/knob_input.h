#pragma once

#include <QFile>
#include <QImage>
#include <QRgb>
#include <QString>

#include <memory>
#include <optional>
#include <variant>

#include "drawing_protocol.h"
#include "drawn_frames.h"

#include "picture_io.h"

namespace Pictures {

// Pictures for the command line: the six kinds the window reads, and PNG,
// WebP, TIFF and SVG besides, with their transparency kept.
namespace KnobInput {

// Largest picture side taken unless asked otherwise; the window keeps its
// own, smaller limit.
inline constexpr int kDefaultMaxSide = 1024;

// Largest file read, bytes, for the largest side asked for: a pixel picture
// (picture_protocol.h), a metafile or a drawing, whichever may be largest.
qint64 MaxFileBytes(int maxSide);

struct Request {
    int maxSide = kDefaultMaxSide;  // largest width and height, pixels
    std::optional<int> drawSize;    // vector pictures: drawn as a square of this side
    double scale = 1.0;             // vector pictures: drawing size times this
    int oversample =
        1;  // vector pictures: drawn 1, 2 or 4 times as large (or kFinest), averaged down
};

struct Picture {
    Pictures::LoadStatus status = Pictures::LoadStatus::Unreadable;
    // Loaded: Format_ARGB32 (straight alpha) when some pixel is not wholly
    // opaque, else Format_RGB32; at the picture's own or drawn size.
    QImage image;
    // The picture's size in pixels (Loaded, TooLarge): as large as the file
    // says, past any side a picture may have.
    qint64 width = 0;
    qint64 height = 0;
    Messages::Message message;  // Unreadable: what happened, naming the file
    bool vector = false;
    bool windowKind = false;  // one of the kinds the window reads
    QByteArray drawing;       // vector: the drawing's bytes, to be drawn again
    // vector: how long drawing it took, ms, and how many pixels were drawn
    // for it (its own times the oversampling's square); drawn at its own
    // size after drawing it finer took too long.
    qint64 drawnMs = 0;
    qint64 drawnPixels = 0;
    bool finestTooSlow = false;
};

// Reads the picture, opening its file once:
// - an SVG drawing (text whose first element is <svg>, whatever comments,
//   declarations and encoding come before it, gzip-compressed or not,
//   whatever the file's name) drawn by the drawing player
//   (drawing_player.h) at its own size, or at drawSize x drawSize (the
//   drawing centred, its proportions kept), times scale, rounded half to
//   even; transparent where it draws nothing;
// - everything else through Pictures::LoadPicture with its transparency
//   kept and PNG, WebP and TIFF besides the window's six kinds.
// A scale other than 1 on a picture that is not SVG is refused: a raster
// picture is not blown up.
Picture Load(const QString& path, const Request& request);

// The same for a file already open at its start (a copy of standard input,
// say); name: the picture's name for messages.
Picture LoadOpen(QFile& file, const QString& name, const Request& request);

// A drawing that Load read, drawn again as asked (another size or scale),
// without reading its file again. name: the file's name for messages.
Picture Redraw(const Picture& drawing, const QString& name, const Request& request);

// A drawing that Load read, drawn for each frame of a strip with the
// frame's motion in it (DrawingProtocol::FrameMotion), each frame as Redraw
// draws the drawing; or a message naming the file, as Load's would.
std::variant<std::unique_ptr<Engine::DrawnFrames>, Messages::Message> DrawFrames(
    const Picture& drawing, const QString& name, const Request& request,
    const DrawingProtocol::FrameMotion& motion);

}  // namespace KnobInput

}  // namespace Pictures
