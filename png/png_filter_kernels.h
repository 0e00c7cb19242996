#pragma once

#include <cstddef>
#include <cstdint>

#include "png_filter.h"

namespace Png {

// The vector loops of png_filter.cpp, for processors with AVX2 (see
// png_filter_avx2.cpp); the caller checks that the processor has it.
namespace PngFilters::Avx2 {

void FilterRow(Filter filter, int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes,
               uint8_t* out);
void Sums(int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes, uint64_t sums[5]);
void SwapRedBlue(uint8_t* bytes, std::size_t pixels, int bpp);

}  // namespace PngFilters::Avx2

}  // namespace Png
