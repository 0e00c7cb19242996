#pragma once

#include <cstdint>

// How the program and its drawing player talk. The player takes three
// arguments: the largest side in pixels, the side of the square the drawing
// is fitted into (0: the drawing at its own size) and the factor that size is
// multiplied by; the drawing's bytes (SVG text in any encoding XML allows, or
// gzip-compressed) on standard input. It writes the width and the height
// (64-bit signed, this machine's byte order) and, for a drawn picture, width
// x height pixels, 32-bit 0xAARRGGBB with straight alpha, rows top to bottom;
// for a picture too large only the width and the height, as the drawing
// gives them. Its exit code says which it was.
namespace DrawingProtocol {

inline constexpr char kProgramName[] = "torvelink-svg-player";

// Largest drawing, bytes: as read from the file, and once unpacked.
inline constexpr std::int64_t kMaxBytes = 16 * 1024 * 1024;

// Largest side the player draws, pixels.
inline constexpr int kMaxSide = 4096;

// Pictures embedded in a drawing, and drawings embedded in those, all
// together: at most this many pixels, at most this deep.
inline constexpr std::int64_t kEmbeddedPixels = std::int64_t{4096} * 4096;
inline constexpr int kMaxNesting = 4;

inline constexpr int kDrawn = 0;
// Not 1, 2 or a shell's 126 to 255: a sanitizer's report or a failed start
// must not read as one of these.
inline constexpr int kTooLarge = 10;
inline constexpr int kEmpty = 11;
inline constexpr int kNotReadable = 12;
inline constexpr int kRefersToFiles = 13;
inline constexpr int kOutOfMemory = 14;  // over the embedded pictures' budget too
inline constexpr int kUsage = 15;

}  // namespace DrawingProtocol
