#include "png_filter.h"

#include <cstdlib>
#include <utility>

#if TORVELINK_HAVE_AVX2_KERNELS
#include "png_filter_kernels.h"
#endif

namespace Png {

namespace PngFilters {

namespace {

inline int paeth(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

inline uint64_t magnitude(int difference) {
    const auto v = static_cast<uint8_t>(difference);
    return v < 128 ? v : 256u - v;
}

bool vectors() {
#if TORVELINK_HAVE_AVX2_KERNELS
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    return avx2;
#else
    return false;
#endif
}

}  // namespace

void Scalar::FilterRow(Filter filter, int bpp, const uint8_t* row, const uint8_t* prior,
                       std::size_t bytes, uint8_t* out) {
    const auto n = static_cast<std::size_t>(bpp);
    const auto at = [&](const uint8_t* line, std::size_t i) { return i >= n ? line[i - n] : 0; };
    for (std::size_t i = 0; i < bytes; ++i) {
        int predicted = 0;
        switch (filter) {
            case Filter::None:
                break;
            case Filter::Sub:
                predicted = at(row, i);
                break;
            case Filter::Up:
                predicted = prior[i];
                break;
            case Filter::Average:
                predicted = (at(row, i) + prior[i]) / 2;
                break;
            case Filter::Paeth:
                predicted = paeth(at(row, i), prior[i], at(prior, i));
                break;
        }
        out[i] = static_cast<uint8_t>(row[i] - predicted);
    }
}

void Scalar::Sums(int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes,
                  uint64_t sums[5]) {
    const auto n = static_cast<std::size_t>(bpp);
    for (int f = 0; f < kFilterCount; ++f) sums[f] = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        const int x = row[i], a = i >= n ? row[i - n] : 0, b = prior[i];
        const int c = i >= n ? prior[i - n] : 0;
        sums[0] += magnitude(x);
        sums[1] += magnitude(x - a);
        sums[2] += magnitude(x - b);
        sums[3] += magnitude(x - (a + b) / 2);
        sums[4] += magnitude(x - paeth(a, b, c));
    }
}

void Sums(int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes, uint64_t sums[5]) {
#if TORVELINK_HAVE_AVX2_KERNELS
    if (vectors()) return Avx2::Sums(bpp, row, prior, bytes, sums);
#endif
    Scalar::Sums(bpp, row, prior, bytes, sums);
}

void FilterRow(Filter filter, int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes,
               uint8_t* out) {
#if TORVELINK_HAVE_AVX2_KERNELS
    if (vectors()) return Avx2::FilterRow(filter, bpp, row, prior, bytes, out);
#endif
    Scalar::FilterRow(filter, bpp, row, prior, bytes, out);
}

Filter ChooseFilter(int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes) {
    uint64_t sums[kFilterCount];
    Sums(bpp, row, prior, bytes, sums);
    int best = 0;
    for (int f = 1; f < kFilterCount; ++f)
        if (sums[f] < sums[best]) best = f;
    return static_cast<Filter>(best);
}

void FilterRows(Rule rule, int bpp, const uint8_t* rows, std::ptrdiff_t stride, int32_t count,
                std::size_t rowBytes, const uint8_t* prior, uint8_t* out) {
    for (int32_t r = 0; r < count; ++r) {
        const uint8_t* row = rows + r * stride;
        Filter filter = rule == Rule::Sub ? Filter::Sub : Filter::None;
        if (rule == Rule::Adaptive) filter = ChooseFilter(bpp, row, prior, rowBytes);
        *out = static_cast<uint8_t>(filter);
        FilterRow(filter, bpp, row, prior, rowBytes, out + 1);
        out += 1 + rowBytes;
        prior = row;
    }
}

void SwapRedBlue(uint8_t* bytes, std::size_t pixels, int bpp) {
#if TORVELINK_HAVE_AVX2_KERNELS
    if (vectors()) return Avx2::SwapRedBlue(bytes, pixels, bpp);
#endif
    for (std::size_t p = 0; p < pixels; ++p, bytes += bpp) std::swap(bytes[0], bytes[2]);
}

}  // namespace PngFilters

}  // namespace Png
