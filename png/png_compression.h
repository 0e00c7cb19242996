#pragma once

namespace Png {

// How hard the PNG encoder works on a strip, with the same pixels in each:
//   Fast     ISA-L's deflate, "Sub" on every row: the least time, files up
//            to half as large again as the common encoders' default
//   Default  libdeflate's level 4: within 10 % of those files, in up to
//            two and a half times the time of Fast
//   Small    libdeflate's level 12, each band also tried with every row's
//            own filter: the smallest file, at a few megabytes a second
// The measurements behind the choices are in bench/README.md.
enum class PngCompression { Fast, Default, Small };

// The levels by their words, as the command line takes them.
struct PngCompressionWord {
    PngCompression level;
    const char* word;
};
inline constexpr PngCompressionWord kPngCompressionWords[] = {
    {PngCompression::Fast, "fast"},
    {PngCompression::Default, "default"},
    {PngCompression::Small, "small"},
};

}  // namespace Png
