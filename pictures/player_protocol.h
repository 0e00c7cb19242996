#pragma once

#include <cstdint>

namespace Pictures {

// How the program and its players talk; standard library only, for the
// players that have no Qt. A player is started for one untrusted file: it
// takes the largest side in pixels as its first argument (then whatever
// arguments of its own), and the file's bytes on standard input. It answers
// with its exit code; for a drawn picture it first writes a Header and then
// width x height pixels, 32-bit 0xAARRGGBB with straight alpha, rows top to
// bottom; for a picture too large the Header alone, the size as the file
// gives it. Each player's own constants (its name, its input limit) are in
// its own header beside this one.
namespace PlayerProtocol {

// Largest side a player draws, pixels.
inline constexpr int kMaxSide = 4096;

// The picture's size in pixels, this machine's byte order, and, from a
// player that reads several kinds, the kind it read as Qt's readers name it
// ("png", zero-padded; all zeros from the others). 64 bits: a file may
// claim a size past any int, and is then too large by that size.
struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;
    char kind[8] = {};
};
static_assert(sizeof(Header) == 24, "written and read as two 64-bit numbers and 8 bytes");

// The exit codes, each with a number of its own, whichever player says it.
// None is 1, 2 or a shell's 126 to 255: a sanitizer's report or a failed
// start must not read as one of these.
enum Exit : int {
    kDrawn = 0,
    kTooLarge = 10,
    kEmpty = 11,  // no width or no height
    kNotReadable = 12,
    kCannotStart = 13,    // the metafile player: libwmf cannot work, its fonts are missing
    kOutOfMemory = 14,    // over the player's memory, or a budget of its own
    kUsage = 15,          // arguments it was not made for
    kRefersToFiles = 16,  // the drawing player: the drawing would read other files
    kNotAKind = 17,       // the picture player: a picture of a kind it was not asked for
    kCutShort = 18,       // the picture player: the file ends before its pixels do
    kTooDeep = 19,        // the drawing player: drawings nested deeper than it may draw
    kNoSize = 20,         // the drawing player: a width or height that is not a number
};

}  // namespace PlayerProtocol

}  // namespace Pictures
