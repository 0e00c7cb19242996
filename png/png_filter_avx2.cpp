#include <immintrin.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "png_filter_kernels.h"

namespace Png {

namespace PngFilters::Avx2 {

namespace {

#define TORVELINK_AVX2 __attribute__((target("avx2")))

// Sixteen bytes at a time, each in a 16-bit lane: Paeth's sums need nine
// bits, and one width for every filter keeps the loops alike.
TORVELINK_AVX2 inline __m256i widen(const uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

TORVELINK_AVX2 inline __m256i paeth(__m256i a, __m256i b, __m256i c) {
    const __m256i pa = _mm256_abs_epi16(_mm256_sub_epi16(b, c));
    const __m256i pb = _mm256_abs_epi16(_mm256_sub_epi16(a, c));
    const __m256i pc =
        _mm256_abs_epi16(_mm256_sub_epi16(_mm256_add_epi16(a, b), _mm256_add_epi16(c, c)));
    const __m256i notA = _mm256_or_si256(_mm256_cmpgt_epi16(pa, pb), _mm256_cmpgt_epi16(pa, pc));
    return _mm256_blendv_epi8(a, _mm256_blendv_epi8(b, c, _mm256_cmpgt_epi16(pb, pc)), notA);
}

TORVELINK_AVX2 inline __m256i predict(Filter filter, __m256i a, __m256i b, __m256i c) {
    switch (filter) {
        case Filter::Sub:
            return a;
        case Filter::Up:
            return b;
        case Filter::Average:
            return _mm256_srli_epi16(_mm256_add_epi16(a, b), 1);
        case Filter::Paeth:
            return paeth(a, b, c);
        case Filter::None:
            break;
    }
    return _mm256_setzero_si256();
}

// |x - p| with the difference taken as a signed byte, in 16-bit lanes.
TORVELINK_AVX2 inline __m256i magnitude(__m256i x, __m256i p) {
    const __m256i d = _mm256_sub_epi16(x, p);
    return _mm256_abs_epi16(_mm256_srai_epi16(_mm256_slli_epi16(d, 8), 8));
}

TORVELINK_AVX2 inline void store(uint8_t* out, __m256i v) {
    v = _mm256_and_si256(v, _mm256_set1_epi16(0xFF));
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
}

int scalarPaeth(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

int scalarPredict(Filter filter, int a, int b, int c) {
    switch (filter) {
        case Filter::Sub:
            return a;
        case Filter::Up:
            return b;
        case Filter::Average:
            return (a + b) / 2;
        case Filter::Paeth:
            return scalarPaeth(a, b, c);
        case Filter::None:
            break;
    }
    return 0;
}

uint64_t scalarMagnitude(int difference) {
    const auto v = static_cast<uint8_t>(difference);
    return v < 128 ? v : 256u - v;
}

// For three-byte pixels, 48 bytes at a time: from[v][u] picks the bytes of
// output vector v that lie in input vector u (0x80: none, a zero).
struct RgbSwapMasks {
    __m128i from[3][3];
    RgbSwapMasks() {
        alignas(16) uint8_t bytes[3][3][16];
        for (int v = 0; v < 3; ++v)
            for (int k = 0; k < 16; ++k) {
                const int out = v * 16 + k;
                const int in = out - out % 3 + 2 - out % 3;  // red and blue change places
                for (int u = 0; u < 3; ++u)
                    bytes[v][u][k] = in / 16 == u ? static_cast<uint8_t>(in % 16) : 0x80;
            }
        for (int v = 0; v < 3; ++v)
            for (int u = 0; u < 3; ++u)
                from[v][u] = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes[v][u]));
    }
};

}  // namespace

// The first pixel has nothing to its left: the plain loop does it; the
// vector loop starts one pixel in, where every neighbour exists.
TORVELINK_AVX2 void FilterRow(Filter filter, int bpp, const uint8_t* row, const uint8_t* prior,
                              std::size_t bytes, uint8_t* out) {
    const auto n = static_cast<std::size_t>(bpp);
    Scalar::FilterRow(filter, bpp, row, prior, std::min(n, bytes), out);
    std::size_t i = n;
    for (; i + 16 <= bytes; i += 16) {
        const __m256i p =
            predict(filter, widen(row + i - n), widen(prior + i), widen(prior + i - n));
        store(out + i, _mm256_sub_epi16(widen(row + i), p));
    }
    for (; i < bytes; ++i)
        out[i] = static_cast<uint8_t>(row[i] -
                                      scalarPredict(filter, row[i - n], prior[i], prior[i - n]));
}

TORVELINK_AVX2 void Sums(int bpp, const uint8_t* row, const uint8_t* prior, std::size_t bytes,
                         uint64_t sums[5]) {
    const auto n = static_cast<std::size_t>(bpp);
    Scalar::Sums(bpp, row, prior, std::min(n, bytes), sums);
    // 32-bit lanes gain at most 256 a step: a row would need 2^27 bytes to
    // overflow them, twice the largest strip's row.
    __m256i acc[kFilterCount] = {};
    const __m256i ones = _mm256_set1_epi16(1);
    std::size_t i = n;
    for (; i + 16 <= bytes; i += 16) {
        const __m256i x = widen(row + i), a = widen(row + i - n);
        const __m256i b = widen(prior + i), c = widen(prior + i - n);
        const __m256i m[kFilterCount] = {magnitude(x, _mm256_setzero_si256()), magnitude(x, a),
                                         magnitude(x, b),
                                         magnitude(x, _mm256_srli_epi16(_mm256_add_epi16(a, b), 1)),
                                         magnitude(x, paeth(a, b, c))};
        for (int f = 0; f < kFilterCount; ++f)
            acc[f] = _mm256_add_epi32(acc[f], _mm256_madd_epi16(m[f], ones));
    }
    for (int f = 0; f < kFilterCount; ++f) {
        alignas(32) uint32_t lanes[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), acc[f]);
        for (uint32_t lane : lanes) sums[f] += lane;
    }
    for (; i < bytes; ++i) {
        const int x = row[i], a = row[i - n], b = prior[i], c = prior[i - n];
        for (int f = 0; f < kFilterCount; ++f)
            sums[f] += scalarMagnitude(x - scalarPredict(static_cast<Filter>(f), a, b, c));
    }
}

TORVELINK_AVX2 void SwapRedBlue(uint8_t* bytes, std::size_t pixels, int bpp) {
    std::size_t p = 0;
    if (bpp == 4) {
        const __m256i order =
            _mm256_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15, 2, 1, 0, 3, 6, 5,
                             4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
        for (; p + 8 <= pixels; p += 8) {
            auto* at = reinterpret_cast<__m256i*>(bytes + p * 4);
            _mm256_storeu_si256(at, _mm256_shuffle_epi8(_mm256_loadu_si256(at), order));
        }
    } else {
        // Sixteen pixels a step, in three vectors that do not overlap (a
        // store that a following load overlaps stalls the load): each
        // output vector gathers its bytes from its own input vector and
        // the one or two beside it.
        static const RgbSwapMasks masks;
        for (; p + 16 <= pixels; p += 16) {
            auto* at = reinterpret_cast<__m128i*>(bytes + p * 3);
            const __m128i in[3] = {_mm_loadu_si128(at), _mm_loadu_si128(at + 1),
                                   _mm_loadu_si128(at + 2)};
            for (int v = 0; v < 3; ++v) {
                __m128i out = _mm_setzero_si128();
                for (int u = std::max(0, v - 1); u <= std::min(2, v + 1); ++u)
                    out = _mm_or_si128(out, _mm_shuffle_epi8(in[u], masks.from[v][u]));
                _mm_storeu_si128(at + v, out);
            }
        }
    }
    for (uint8_t* q = bytes + p * static_cast<std::size_t>(bpp); p < pixels; ++p, q += bpp)
        std::swap(q[0], q[2]);
}

}  // namespace PngFilters::Avx2

}  // namespace Png
