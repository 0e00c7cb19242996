#pragma once

#include <cstdint>

#include "player_protocol.h"

namespace Pictures {

// What only the metafile player and its client share, beyond
// player_protocol.h: the player takes the largest side as its one argument
// and draws the metafile at 96 dots per inch, light grey where it draws
// nothing.
namespace MetafileProtocol {

inline constexpr char kProgramName[] = "torvelink-wmf-player";

// The first four bytes of a placeable metafile, little-endian.
inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;

// The grey of the picture boxes, red = green = blue, where a metafile draws
// nothing: the window shows transparent pixels over it too.
inline constexpr std::uint8_t kBoxGrey = 192;

// Largest metafile handed to the player, bytes.
inline constexpr std::int64_t kMaxBytes = 16 * 1024 * 1024;

}  // namespace MetafileProtocol

}  // namespace Pictures
