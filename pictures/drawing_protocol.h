#pragma once

#include <cstdint>

#include "player_protocol.h"

namespace Pictures {

// What only the drawing player and its client share, beyond
// player_protocol.h: after the largest side the player takes the side of the
// square the drawing is fitted into (0: the drawing at its own size), the
// factor that size is multiplied by, and how many times as large it is drawn
// before it is averaged down (1, 2 or 4); its input is SVG text in any
// encoding XML allows, or gzip-compressed. It draws clear where the drawing
// draws nothing.
//
// Given kFrames and a FrameMotion's numbers after those, it draws the
// drawing once for each frame of a strip, moved in its own drawing: a
// Header with the canvas's size, then every frame's pixels, frame 1 first,
// as a drawn picture's.
namespace DrawingProtocol {

inline constexpr char kProgramName[] = "torvelink-svg-player";

// Largest drawing, bytes: as read from the file, and once unpacked.
inline constexpr std::int64_t kMaxBytes = 16 * 1024 * 1024;

// Pictures embedded in a drawing, and drawings embedded in those, all
// together: at most this many pixels, at most this deep. Over them the
// player says it is out of memory.
inline constexpr std::int64_t kEmbeddedPixels = std::int64_t{4096} * 4096;
inline constexpr int kMaxNesting = 4;

inline constexpr char kFrames[] = "--frames";

// Where the drawing lies in frame i of `frames` (value v = (i - 1) /
// (frames - 1), 0 for one frame): its area, as large as it is drawn, with
// its top-left corner at (x, y) + v x ((toX, toY) - (x, y)) on a clear
// canvas of width x height pixels, then turned about (pivotX, pivotY) by
// (i - 1) x step + start degrees, clockwise on screen. Continuous
// coordinates: pixel k covers k .. k + 1. Sent as text, eleven numbers in
// this order, the floats with the digits that read back as themselves.
struct FrameMotion {
    std::int32_t frames = 1;
    std::int32_t width = 0, height = 0;
    double x = 0.0, y = 0.0;
    double toX = 0.0, toY = 0.0;
    float start = 0.0f, step = 0.0f;
    double pivotX = 0.0, pivotY = 0.0;
};
inline constexpr int kMotionNumbers = 11;

// The turn of frame i in degrees, as the strip's own turn computes it.
inline double FrameDegrees(const FrameMotion& m, std::int32_t i) {
    return static_cast<double>(m.step) * (static_cast<double>(i) - 1.0) +
           static_cast<double>(m.start);
}

// Frames are drawn on at most this many threads (so the player's processor
// time may run that much faster than the clock).
inline constexpr int kFrameThreads = 4;

// The oversampling factors a drawing may be drawn at; kFinest: as fine as
// its size allows (OversampleFor).
inline constexpr int kFinest = 0;
inline constexpr bool OversampleAllowed(int k) {
    return k == kFinest || k == 1 || k == 2 || k == 4;
}

// The factor a drawing of `pixels` pixels (each frame's) is drawn at when
// `asked`: kFinest gives 4, or 2 or 1 where 4 (or 2) would draw more than
// kFinestPixels; a factor asked for is halved while it would draw more than
// kMostPixels (a picture of 256 MiB).
inline constexpr std::int64_t kFinestPixels = std::int64_t{1} << 24;
inline constexpr std::int64_t kMostPixels = std::int64_t{1} << 26;
inline constexpr int OversampleFor(int asked, std::int64_t pixels) {
    if (asked == kFinest)
        return pixels * 16 <= kFinestPixels ? 4 : pixels * 4 <= kFinestPixels ? 2 : 1;
    int k = asked;
    while (k > 1 && pixels * k * k > kMostPixels) k /= 2;
    return k;
}

}  // namespace DrawingProtocol

}  // namespace Pictures
