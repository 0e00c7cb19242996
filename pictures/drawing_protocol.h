#pragma once

#include <cstdint>

#include "player_protocol.h"

namespace Pictures {

// What only the drawing player and its client share, beyond
// player_protocol.h: after the largest side the player takes the side of the
// square the drawing is fitted into (0: the drawing at its own size) and the
// factor that size is multiplied by; its input is SVG text in any encoding
// XML allows, or gzip-compressed. It draws clear where the drawing draws
// nothing.
namespace DrawingProtocol {

inline constexpr char kProgramName[] = "torvelink-svg-player";

// Largest drawing, bytes: as read from the file, and once unpacked.
inline constexpr std::int64_t kMaxBytes = 16 * 1024 * 1024;

// Pictures embedded in a drawing, and drawings embedded in those, all
// together: at most this many pixels, at most this deep. Over them the
// player says it is out of memory.
inline constexpr std::int64_t kEmbeddedPixels = std::int64_t{4096} * 4096;
inline constexpr int kMaxNesting = 4;

}  // namespace DrawingProtocol

}  // namespace Pictures
