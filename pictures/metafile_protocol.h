#pragma once

#include <cstdint>

// How the program and its metafile player talk. The player takes the largest
// side in pixels as its one argument and the metafile's bytes on standard
// input. For a drawn picture it writes the width and the height (32-bit, this
// machine's byte order) and then width x height pixels, 32-bit 0xAARRGGBB,
// rows top to bottom; for a picture too large only the width and the height.
// Its exit code says which it was.
namespace MetafileProtocol {

inline constexpr char kProgramName[] = "torvelink-wmf-player";

// The first four bytes of a placeable metafile, little-endian.
inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;

// The grey of the picture boxes, red = green = blue, where a metafile draws
// nothing: the window shows transparent pixels over it too.
inline constexpr std::uint8_t kBoxGrey = 192;

// Largest metafile handed to the player, bytes.
inline constexpr std::int64_t kMaxBytes = 16 * 1024 * 1024;

// Largest side the player draws, pixels.
inline constexpr int kMaxSide = 4096;

inline constexpr int kDrawn = 0;
// Not 1, 2 or a shell's 126 to 255: a sanitizer's report or a failed start
// must not read as one of these.
inline constexpr int kTooLarge = 10;
inline constexpr int kEmpty = 11;
inline constexpr int kNotReadable = 12;
inline constexpr int kCannotStart = 13;
inline constexpr int kOutOfMemory = 14;
inline constexpr int kUsage = 15;

}  // namespace MetafileProtocol
