#pragma once

#include <cstddef>
#include <cstdint>

namespace Png {

// PNG row filters: each byte of a row is sent as its difference from a
// prediction made of the byte one pixel to the left (a), the byte above (b)
// and the byte above and left (c); bytes left of the row are 0. Rows are
// bytes of 8-bit channels, bpp bytes a pixel (3: RGB, 4: RGBA).
namespace PngFilters {

// The filter type byte that starts each filtered row.
enum class Filter : uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };
inline constexpr int kFilterCount = 5;

// row and prior: `bytes` bytes each; prior is the row above (all zeros above
// the first row). out: `bytes` bytes, the filtered row without its type byte.
void FilterRow(Filter filter, int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes,
               uint8_t* out);

// The filter whose output has the smallest sum of absolute values, each byte
// taken as a signed number (the usual encoders' heuristic): rows that stay
// near zero deflate best. Ties go to the lower type.
Filter ChooseFilter(int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes);

// How the rows of a picture get their filters.
enum class Rule {
    Sub,       // every row "Sub": the cheapest that helps pictures at all
    Adaptive,  // each row the filter ChooseFilter names
    None,      // every row unfiltered
};

// count rows (rowBytes each, stride apart, from rows) filtered into out:
// 1 + rowBytes bytes a row, the type byte first. prior: the row above the
// first one (zeros for a picture's first row), rowBytes bytes.
void FilterRows(Rule rule, int bpp, const uint8_t* rows, std::ptrdiff_t stride, int32_t count,
                std::size_t rowBytes, const uint8_t* prior, uint8_t* out);

// Blue-green-red(-opacity) pixels turned into red-green-blue(-opacity) ones
// in place: `pixels` pixels of bpp bytes (3 or 4).
void SwapRedBlue(uint8_t* bytes, std::size_t pixels, int bpp);

// The plain loops, which the vector ones must match byte for byte.
namespace Scalar {
void FilterRow(Filter filter, int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes,
               uint8_t* out);
// The five sums of absolute values, by filter type.
void Sums(int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes, uint64_t sums[5]);
}  // namespace Scalar

// The vector loops, or the plain ones where the processor has none.
void Sums(int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes, uint64_t sums[5]);

}  // namespace PngFilters

}  // namespace Png
