#pragma once

#include <cstdint>

#include "player_protocol.h"

namespace Pictures {

// What only the picture player and its client share, beyond
// player_protocol.h. The player decodes pixel pictures (BMP, JPEG, GIF, ICO,
// CUR, PNG, WebP, TIFF) through Qt's readers. After the largest side it
// takes the kinds it may read, as Qt's readers name them, joined by commas
// ("bmp,dib,jpeg"); a picture of another kind it names kNotAKind, undecoded.
// Its input is one byte, kIconName when the file's name ends in .ico or .cur
// (else kOtherName), then the file's bytes. Drawn, it gives the picture as
// Qt reads it, with Qt's choices and repairs: the 32 x 32 image of an icon
// when there is one (else the first), the channels of a 16-bit bitmap
// widened to the full range, transparency as the file has it; the Header
// names the kind read.
namespace PictureProtocol {

inline constexpr char kProgramName[] = "torvelink-picture-player";

inline constexpr char kIconName = 'i';
inline constexpr char kOtherName = '-';

// Largest picture file, bytes: more than any picture of that largest side
// takes (eight bytes a pixel, 16-bit channels with alpha), and 64 MiB for
// whatever a file holds besides its pixels.
constexpr std::int64_t MaxBytes(int maxSide) {
    return std::int64_t{maxSide} * maxSide * 8 + (std::int64_t{64} << 20);
}

}  // namespace PictureProtocol

}  // namespace Pictures
