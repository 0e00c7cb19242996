#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Player {

// Windows metafiles played through libwmf. Only the metafile player program
// uses this: the library is old C code, so untrusted files are played in a
// process of their own (see metafile_player.h).
namespace Metafile {

using Bytes = std::vector<unsigned char>;

struct Size {
    int width = 0;
    int height = 0;
};

enum class Status {
    Drawn,        // pixels hold the picture
    TooLarge,     // wider or higher than asked for: measured, not drawn
    Empty,        // a metafile of no width or no height
    NotReadable,  // libwmf refuses the data
    CannotStart,  // libwmf refuses even a blank metafile: its fonts are missing
    OutOfMemory,  // the drawing needed more than the player's memory budget
};

struct Outcome {
    Status status = Status::NotReadable;
    Size size;                          // pixels at 96 dots per inch (Drawn, TooLarge)
    std::vector<std::uint32_t> pixels;  // Drawn: 0xAARRGGBB, rows top to bottom
};

// Plays the metafile at 96 dots per inch: a placeable one sized from its
// bounding box and units per inch, any other as libwmf measures the drawing.
// A picture wider or higher than maxSide pixels is only measured. Where the
// metafile draws nothing the pixels are the picture boxes' light grey, 192,
// 192, 192, with alpha 255; libwmf's own transparency is kept in alpha.
Outcome Play(const Bytes& data, int maxSide);

// Largest total of libwmf's own allocations during one play, bytes.
inline constexpr std::size_t kMemoryBudget = std::size_t{256} << 20;

}  // namespace Metafile

}  // namespace Player
