#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <functional>

#include "drawing_protocol.h"

namespace Player {

// SVG drawings drawn by Qt SVG once svg_check.h has passed them. Only the
// drawing player program uses this (and its tests); it needs a
// QGuiApplication, for the fonts of text in a drawing.
namespace SvgDrawing {

struct Request {
    int maxSide = 1;     // largest width and height, pixels
    int square = 0;      // > 0: the drawing fitted into a square of this side, centred
    double scale = 1.0;  // the size (own or square) times this, rounded half to even
    int oversample = 1;  // drawn this many times as large, then each block averaged
};

enum class Status {
    Drawn,
    TooLarge,       // measured, not drawn
    Empty,          // no width or no height
    NotReadable,    // not a drawing, or one with a picture Qt SVG would leave out
    RefersToFiles,  // it would read something beyond itself
    OutOfMemory,    // over the embedded pictures' budget, or a picture lost for memory
    TooDeep,        // drawings in it nested deeper than DrawingProtocol::kMaxNesting
    NoSize,         // its width or height is not a number (NaN, infinity)
};

struct Outcome {
    Status status = Status::NotReadable;
    std::int64_t width = 0;  // pixels (Drawn, TooLarge), as large as the drawing says
    std::int64_t height = 0;
    QImage image;  // Drawn: Format_ARGB32, straight alpha, clear where nothing is drawn
};

// The drawing's bytes, as read from its file (gzip-compressed or not).
Outcome Draw(const QByteArray& bytes, const Request& request);

// The drawing drawn for each frame of the motion, at the size Draw draws it,
// each frame handed to `put` as it is drawn (Format_ARGB32, straight alpha,
// the motion's canvas); put returns false to stop. Drawn: every frame was
// put (the outcome's size is the canvas's, its image empty); otherwise what
// Draw would say, or NotReadable for a frame put refused.
Outcome DrawFrames(const QByteArray& bytes, const Request& request,
                   const Pictures::DrawingProtocol::FrameMotion& motion,
                   const std::function<bool(const QImage&)>& put);

}  // namespace SvgDrawing

}  // namespace Player
