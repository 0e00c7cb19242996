// The sixteen-lane forms of the vector loops: the eight-lane ones of
// rotation_avx2.cpp step for step, with masks in mask registers.
#include <immintrin.h>

// GCC 12's own AVX-512 conversions start from an undefined vector, which its
// flow analysis takes for an uninitialised variable of ours.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <cstring>

#include "rotation_blend.h"
#include "rotation_kernels.h"

using namespace Engine;

namespace Render {

namespace AppModul {

namespace {

#define TORVELINK_AVX512 __attribute__((target("avx512f,avx512bw")))

TORVELINK_AVX512 inline __m512i roundFraction(__m512i n) {
    const __m512i odd = _mm512_and_si512(_mm512_srli_epi32(n, 22), _mm512_set1_epi32(1));
    const __m512i bias = _mm512_add_epi32(_mm512_set1_epi32((1 << 21) - 1), odd);
    return _mm512_srli_epi32(_mm512_add_epi32(n, bias), 22);
}

TORVELINK_AVX512 inline __m512i weighted(__m512i right, __m512i left, __m512i w) {
    return roundFraction(_mm512_add_epi32(_mm512_slli_epi32(left, 22),
                                          _mm512_mullo_epi32(_mm512_sub_epi32(right, left), w)));
}

TORVELINK_AVX512 inline __m512i channel(__m512i pixels, unsigned shift) {
    return _mm512_and_si512(_mm512_srli_epi32(pixels, shift), _mm512_set1_epi32(0xFF));
}

TORVELINK_AVX512 inline __m512d column(const double* terms, std::size_t k) {
    return _mm512_loadu_pd(terms + k);
}

TORVELINK_AVX512 inline __m512 toFloats(__m512d lo, __m512d hi) {
    const __m512d low = _mm512_castps_pd(_mm512_castps256_ps512(_mm512_cvtpd_ps(lo)));
    return _mm512_castpd_ps(_mm512_insertf64x4(low, _mm256_castps_pd(_mm512_cvtpd_ps(hi)), 1));
}

TORVELINK_AVX512 inline __m512i toNearest(__m512d lo, __m512d hi) {
    return _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvtpd_epi32(lo)),
                              _mm512_cvtpd_epi32(hi), 1);
}

TORVELINK_AVX512 inline __mmask16 insideDisc(__m512i x, __m512i y, const RotationRow& r) {
    const __m512i dx = _mm512_sub_epi32(_mm512_add_epi32(x, x), _mm512_set1_epi32(r.width + 1));
    const __m512i dy = _mm512_sub_epi32(_mm512_add_epi32(y, y), _mm512_set1_epi32(r.height + 1));
    const __m512i d2 = _mm512_add_epi32(_mm512_mullo_epi32(dx, dx), _mm512_mullo_epi32(dy, dy));
    return _mm512_cmple_epi32_mask(d2, _mm512_set1_epi32(r.radiusLimit));
}

TORVELINK_AVX512 inline __mmask16 within(__m512i v, int32_t lo, int32_t hi) {
    return _mm512_cmpge_epi32_mask(v, _mm512_set1_epi32(lo)) &
           _mm512_cmple_epi32_mask(v, _mm512_set1_epi32(hi));
}

// Pixel pairs by plain loads, as the eight-lane loop takes them; lanes in
// the order 0 1 4 5 8 9 12 13 | 2 3 6 7 10 11 14 15, so that splitting the
// pairs within each 128-bit quarter puts them back in order.
TORVELINK_AVX512 inline void loadPairs(const uint8_t* pixels, __m512i at, __mmask16 accept,
                                       __m512i& left, __m512i& right) {
    alignas(64) int32_t index[16];
    _mm512_store_si512(index, _mm512_maskz_mov_epi32(accept, at));
    const auto pair = [pixels, &index](int lane) {
        long long v;
        std::memcpy(&v, pixels + static_cast<std::ptrdiff_t>(index[lane]) * 4, 8);
        return v;
    };
    const __m512i lo =
        _mm512_setr_epi64(pair(0), pair(1), pair(4), pair(5), pair(8), pair(9), pair(12), pair(13));
    const __m512i hi = _mm512_setr_epi64(pair(2), pair(3), pair(6), pair(7), pair(10), pair(11),
                                         pair(14), pair(15));
    left = _mm512_castps_si512(_mm512_shuffle_ps(_mm512_castsi512_ps(lo), _mm512_castsi512_ps(hi),
                                                 _MM_SHUFFLE(2, 0, 2, 0)));
    right = _mm512_castps_si512(_mm512_shuffle_ps(_mm512_castsi512_ps(lo), _mm512_castsi512_ps(hi),
                                                  _MM_SHUFFLE(3, 1, 3, 1)));
}

TORVELINK_AVX512 inline void store(const RotationRow& r, std::size_t k, __m512i colours,
                                   __mmask16 accept) {
    const __m512i base = _mm512_loadu_si512(r.base + k * 4);
    const __m512i fourth = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
    // The fourth byte from the base, the colours from the turned pixels.
    const __m512i turned = _mm512_ternarylogic_epi32(colours, base, fourth, 0xD8);
    const __m512i pixels = _mm512_mask_blend_epi32(accept, base, turned);
    if (r.pixelBytes == 4) {
        _mm512_storeu_si512(r.out + k * 4, pixels);
        return;
    }
    const __m512i pack = _mm512_set4_epi32(-1, 0x0E0D0C0A, 0x09080605, 0x04020100);
    const __m512i packed = _mm512_permutexvar_epi32(
        _mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 3, 7, 11, 15),
        _mm512_shuffle_epi8(pixels, pack));
    _mm512_mask_storeu_epi8(r.out + k * 3, (__mmask64{1} << 48) - 1, packed);
}

// The cells and loops of rotation_avx2.cpp in sixteen lanes.
struct Cells {
    __mmask16 accept;
    __m512i a, b, at, p00, p10, p01, p11;
};

TORVELINK_AVX512 inline bool bilinearCells(const RotationRow& r, std::size_t k, Cells& c) {
    const __m512d rowSx = _mm512_set1_pd(r.rowSx), rowSy = _mm512_set1_pd(r.rowSy);
    const __m512i one = _mm512_set1_epi32(1), width = _mm512_set1_epi32(r.width);
    const __m512 scale = _mm512_set1_ps(4194304.0f);
    const __m512 sx = toFloats(_mm512_sub_pd(column(r.sxBase, k), rowSx),
                               _mm512_sub_pd(column(r.sxBase, k + 8), rowSx));
    const __m512 sy = toFloats(_mm512_add_pd(rowSy, column(r.syTerm, k)),
                               _mm512_add_pd(rowSy, column(r.syTerm, k + 8)));
    const __m512 fx = _mm512_roundscale_ps(sx, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    const __m512 fy = _mm512_roundscale_ps(sy, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    const __m512i ix = _mm512_cvttps_epi32(fx), iy = _mm512_cvttps_epi32(fy);
    c.accept = within(ix, 2, r.width - 1) & within(iy, 2, r.height - 1) & insideDisc(ix, iy, r);
    if (c.accept == 0) return false;
    c.a = _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_sub_ps(sx, fx), scale));
    c.b = _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_sub_ps(sy, fy), scale));
    c.at = _mm512_add_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(iy, one), width),
                            _mm512_sub_epi32(ix, one));
    loadPairs(r.src, c.at, c.accept, c.p00, c.p10);
    loadPairs(r.src, _mm512_add_epi32(c.at, width), c.accept, c.p01, c.p11);
    return true;
}

TORVELINK_AVX512 inline __m512i blend(const Cells& c, unsigned channels) {
    __m512i pixels = _mm512_setzero_si512();
    for (unsigned shift = 0; shift < channels * 8; shift += 8) {
        const __m512i top = weighted(channel(c.p10, shift), channel(c.p00, shift), c.a);
        const __m512i bottom = weighted(channel(c.p11, shift), channel(c.p01, shift), c.a);
        const __m512i value = weighted(bottom, top, c.b);
        pixels = _mm512_or_si512(pixels, _mm512_slli_epi32(value, shift));
    }
    return pixels;
}

TORVELINK_AVX512 inline bool nearestCells(const RotationRow& r, std::size_t k, __m512i& at,
                                          __mmask16& accept) {
    const __m512d rowSx = _mm512_set1_pd(r.rowSx), rowSy = _mm512_set1_pd(r.rowSy);
    const __m512i one = _mm512_set1_epi32(1), width = _mm512_set1_epi32(r.width);
    const __m512i px = toNearest(_mm512_sub_pd(column(r.sxBase, k), rowSx),
                                 _mm512_sub_pd(column(r.sxBase, k + 8), rowSx));
    const __m512i py = toNearest(_mm512_add_pd(rowSy, column(r.syTerm, k)),
                                 _mm512_add_pd(rowSy, column(r.syTerm, k + 8)));
    accept = within(px, 1, r.width) & within(py, 1, r.height) & insideDisc(px, py, r);
    if (accept == 0) return false;
    at = _mm512_add_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(py, one), width),
                          _mm512_sub_epi32(px, one));
    return true;
}

}  // namespace

TORVELINK_AVX512 std::size_t BilinearPixels16(const RotationRow& r, std::size_t begin,
                                              std::size_t count) {
    std::size_t k = begin;
    for (Cells c; k + 16 <= count; k += 16)
        if (bilinearCells(r, k, c)) store(r, k, blend(c, 3), c.accept);
    return k;
}

TORVELINK_AVX512 std::size_t NearestPixels16(const RotationRow& r, std::size_t begin,
                                             std::size_t count) {
    std::size_t k = begin;
    __m512i at;
    __mmask16 accept;
    for (; k + 16 <= count; k += 16)
        if (nearestCells(r, k, at, accept))
            store(r, k, _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), accept, at, r.src, 4),
                  accept);
    return k;
}

// The forms for pixels whose fourth byte is their opacity, as the eight-lane
// ones in rotation_avx2.cpp: all four bytes blend in lanes where a cell's
// opacities are equal, the scalar blend weights the rest.
TORVELINK_AVX512 std::size_t BilinearAlphaPixels16(const RotationRow& r, std::size_t begin,
                                                   std::size_t count) {
    std::size_t k = begin;
    for (Cells c; k + 16 <= count; k += 16) {
        if (!bilinearCells(r, k, c)) continue;
        const __m512i base = _mm512_loadu_si512(r.base + k * 4);
        _mm512_storeu_si512(r.out + k * 4, _mm512_mask_blend_epi32(c.accept, base, blend(c, 4)));
        const __m512i a00 = _mm512_srli_epi32(c.p00, 24);
        const unsigned lanes =
            c.accept & ~(_mm512_cmpeq_epi32_mask(a00, _mm512_srli_epi32(c.p10, 24)) &
                         _mm512_cmpeq_epi32_mask(a00, _mm512_srli_epi32(c.p01, 24)) &
                         _mm512_cmpeq_epi32_mask(a00, _mm512_srli_epi32(c.p11, 24)));
        if (lanes == 0) continue;
        alignas(64) int32_t index[16], wa[16], wb[16];
        _mm512_store_si512(index, c.at);
        _mm512_store_si512(wa, c.a);
        _mm512_store_si512(wb, c.b);
        blendUnevenLanes(r.src, r.width, r.out + k * 4, lanes, index, wa, wb);
    }
    return k;
}

TORVELINK_AVX512 std::size_t NearestAlphaPixels16(const RotationRow& r, std::size_t begin,
                                                  std::size_t count) {
    std::size_t k = begin;
    __m512i at;
    __mmask16 accept;
    for (; k + 16 <= count; k += 16) {
        if (!nearestCells(r, k, at, accept)) continue;
        const __m512i base = _mm512_loadu_si512(r.base + k * 4);
        _mm512_storeu_si512(r.out + k * 4, _mm512_mask_i32gather_epi32(base, accept, at, r.src, 4));
    }
    return k;
}

}  // namespace AppModul

}  // namespace Render
