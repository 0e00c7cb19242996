#include <immintrin.h>

#include <cstring>

#include "rotation_blend.h"
#include "rotation_kernels.h"

using namespace Engine;

namespace Render {

namespace AppModul {

namespace {

// Positions, indices and twice-distances stay far inside 32-bit lanes up to
// this side: |2 x - (W + 1)| < 16384, so a sum of two squares is below 2^29,
// and a pixel's index (y - 1) * W + x - 1 below 2^28.
constexpr int kMaxWideSide = 16384;

#define TORVELINK_AVX2 __attribute__((target("avx2")))

// numerator / 2^22, rounded half to even, in eight lanes.
TORVELINK_AVX2 inline __m256i roundFraction(__m256i n) {
    const __m256i odd = _mm256_and_si256(_mm256_srli_epi32(n, 22), _mm256_set1_epi32(1));
    const __m256i bias = _mm256_add_epi32(_mm256_set1_epi32((1 << 21) - 1), odd);
    return _mm256_srli_epi32(_mm256_add_epi32(n, bias), 22);
}

// round((right * w + left * (2^22 - w)) / 2^22), with one multiplication:
// the same sum is left * 2^22 + (right - left) * w, below 2^30 and never
// negative (the weights are convex).
TORVELINK_AVX2 inline __m256i weighted(__m256i right, __m256i left, __m256i w) {
    return roundFraction(_mm256_add_epi32(_mm256_slli_epi32(left, 22),
                                          _mm256_mullo_epi32(_mm256_sub_epi32(right, left), w)));
}

TORVELINK_AVX2 inline __m256i channel(__m256i pixels, int shift) {
    return _mm256_and_si256(_mm256_srli_epi32(pixels, shift), _mm256_set1_epi32(0xFF));
}

// The pixels at eight indices and their right-hand neighbours, as pairs,
// with plain 8-byte loads: where gathers are slow microcode (as the
// mitigations of some processors make them), loads are not. Lanes not
// accepted read the first pixel pair instead.
TORVELINK_AVX2 inline void loadPairs(const uint8_t* pixels, __m256i at, __m256i accept,
                                     __m256i& left, __m256i& right) {
    alignas(32) int32_t index[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(index), _mm256_and_si256(at, accept));
    const auto pair = [pixels](int32_t i) {
        long long v;
        std::memcpy(&v, pixels + static_cast<std::ptrdiff_t>(i) * 4, 8);
        return v;
    };
    // Lanes in the order 0 1 4 5 | 2 3 6 7, so that splitting the pairs
    // within each 128-bit half puts them back in order.
    const __m256i lo =
        _mm256_setr_epi64x(pair(index[0]), pair(index[1]), pair(index[4]), pair(index[5]));
    const __m256i hi =
        _mm256_setr_epi64x(pair(index[2]), pair(index[3]), pair(index[6]), pair(index[7]));
    left = _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps(lo), _mm256_castsi256_ps(hi),
                                                 _MM_SHUFFLE(2, 0, 2, 0)));
    right = _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps(lo), _mm256_castsi256_ps(hi),
                                                  _MM_SHUFFLE(3, 1, 3, 1)));
}

// Eight float source positions from eight double ones, rounded to float as
// the scalar loop stores them.
TORVELINK_AVX2 inline __m256 toFloats(__m256d lo, __m256d hi) {
    return _mm256_set_m128(_mm256_cvtpd_ps(hi), _mm256_cvtpd_ps(lo));
}

// Eight whole-number positions from eight double ones, rounded half to even
// as the scalar loop's cvtsd2si does (same instruction family, same mode).
TORVELINK_AVX2 inline __m256i toNearest(__m256d lo, __m256d hi) {
    return _mm256_set_m128i(_mm256_cvtpd_epi32(hi), _mm256_cvtpd_epi32(lo));
}

// The radius test of the scalar loops, exactly: twice the distance from the
// centre is a whole number, and so is the sum of its squares.
TORVELINK_AVX2 inline __m256i insideDisc(__m256i x, __m256i y, const RotationRow& r) {
    const __m256i dx = _mm256_sub_epi32(_mm256_add_epi32(x, x), _mm256_set1_epi32(r.width + 1));
    const __m256i dy = _mm256_sub_epi32(_mm256_add_epi32(y, y), _mm256_set1_epi32(r.height + 1));
    const __m256i d2 = _mm256_add_epi32(_mm256_mullo_epi32(dx, dx), _mm256_mullo_epi32(dy, dy));
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(r.radiusLimit),
                              _mm256_sub_epi32(d2, _mm256_set1_epi32(1)));
}

// Where lo <= v <= hi, lane by lane.
TORVELINK_AVX2 inline __m256i within(__m256i v, int32_t lo, int32_t hi) {
    return _mm256_and_si256(_mm256_cmpgt_epi32(v, _mm256_set1_epi32(lo - 1)),
                            _mm256_cmpgt_epi32(_mm256_set1_epi32(hi + 1), v));
}

// The turned colours where accepted, the base pixels elsewhere; the fourth
// byte always from the base. Stores exactly the eight pixels: 32 bytes, or
// 24 when the target has three bytes a pixel.
TORVELINK_AVX2 inline void store(const RotationRow& r, std::size_t k, __m256i colours,
                                 __m256i accept) {
    const __m256i base = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r.base + k * 4));
    const __m256i fourth = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i turned =
        _mm256_or_si256(_mm256_andnot_si256(fourth, colours), _mm256_and_si256(base, fourth));
    const __m256i pixels = _mm256_blendv_epi8(base, turned, accept);
    if (r.pixelBytes == 4) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.out + k * 4), pixels);
        return;
    }
    // Three bytes of each pixel to the front of its 128-bit half, then the
    // two halves' twelve bytes side by side.
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0,
                                          1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, pack),
                                                       _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
    uint8_t* out = r.out + k * 3;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
}

// Eight source cells of the bilinear loops: which lanes are turned, their
// weights a and b (fractions times 2^22), the index of each top-left source
// pixel, and the four pixels around each position.
struct Cells {
    __m256i accept, a, b, at, p00, p10, p01, p11;
};

// The cells of pixels k .. k + 7 of the row; false when none is turned.
TORVELINK_AVX2 inline bool bilinearCells(const RotationRow& r, std::size_t k, Cells& c) {
    const __m256d rowSx = _mm256_set1_pd(r.rowSx), rowSy = _mm256_set1_pd(r.rowSy);
    const __m256i one = _mm256_set1_epi32(1), width = _mm256_set1_epi32(r.width);
    const __m256 scale = _mm256_set1_ps(4194304.0f);
    const __m256 sx = toFloats(_mm256_sub_pd(_mm256_loadu_pd(r.sxBase + k), rowSx),
                               _mm256_sub_pd(_mm256_loadu_pd(r.sxBase + k + 4), rowSx));
    const __m256 sy = toFloats(_mm256_add_pd(rowSy, _mm256_loadu_pd(r.syTerm + k)),
                               _mm256_add_pd(rowSy, _mm256_loadu_pd(r.syTerm + k + 4)));
    const __m256 fx = _mm256_floor_ps(sx), fy = _mm256_floor_ps(sy);
    const __m256i ix = _mm256_cvttps_epi32(fx), iy = _mm256_cvttps_epi32(fy);
    c.accept = _mm256_and_si256(within(ix, 2, r.width - 1), within(iy, 2, r.height - 1));
    c.accept = _mm256_and_si256(c.accept, insideDisc(ix, iy, r));
    if (_mm256_testz_si256(c.accept, c.accept)) return false;
    c.a = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_sub_ps(sx, fx), scale));
    c.b = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_sub_ps(sy, fy), scale));
    c.at = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(iy, one), width),
                            _mm256_sub_epi32(ix, one));
    loadPairs(r.src, c.at, c.accept, c.p00, c.p10);
    loadPairs(r.src, _mm256_add_epi32(c.at, width), c.accept, c.p01, c.p11);
    return true;
}

// The blend of the cells' bytes 0 .. channels - 1, in place in each lane.
TORVELINK_AVX2 inline __m256i blend(const Cells& c, int channels) {
    __m256i pixels = _mm256_setzero_si256();
    for (int shift = 0; shift < channels * 8; shift += 8) {
        const __m256i top = weighted(channel(c.p10, shift), channel(c.p00, shift), c.a);
        const __m256i bottom = weighted(channel(c.p11, shift), channel(c.p01, shift), c.a);
        const __m256i value = weighted(bottom, top, c.b);
        pixels = _mm256_or_si256(pixels, _mm256_slli_epi32(value, shift));
    }
    return pixels;
}

// The source index of pixels k .. k + 7 of the row for the nearest loops,
// and which of them are turned; false when none is.
TORVELINK_AVX2 inline bool nearestCells(const RotationRow& r, std::size_t k, __m256i& at,
                                        __m256i& accept) {
    const __m256d rowSx = _mm256_set1_pd(r.rowSx), rowSy = _mm256_set1_pd(r.rowSy);
    const __m256i one = _mm256_set1_epi32(1), width = _mm256_set1_epi32(r.width);
    const __m256i px = toNearest(_mm256_sub_pd(_mm256_loadu_pd(r.sxBase + k), rowSx),
                                 _mm256_sub_pd(_mm256_loadu_pd(r.sxBase + k + 4), rowSx));
    const __m256i py = toNearest(_mm256_add_pd(rowSy, _mm256_loadu_pd(r.syTerm + k)),
                                 _mm256_add_pd(rowSy, _mm256_loadu_pd(r.syTerm + k + 4)));
    accept = _mm256_and_si256(within(px, 1, r.width), within(py, 1, r.height));
    accept = _mm256_and_si256(accept, insideDisc(px, py, r));
    if (_mm256_testz_si256(accept, accept)) return false;
    at = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(py, one), width),
                          _mm256_sub_epi32(px, one));
    return true;
}

}  // namespace

WideChoice WideKernels(int32_t width, int32_t height) {
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    static const bool avx512 =
        __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
    WideChoice choice;
    if (width > kMaxWideSide || height > kMaxWideSide) return choice;
    if (avx2) choice.eight = {&BilinearPixels8, &NearestPixels8};
    if (avx2) choice.eightOpacity = {&BilinearAlphaPixels8, &NearestAlphaPixels8};
    if (avx512) choice.sixteen = {&BilinearPixels16, &NearestPixels16};
    if (avx512) choice.sixteenOpacity = {&BilinearAlphaPixels16, &NearestAlphaPixels16};
    return choice;
}

TORVELINK_AVX2 std::size_t BilinearPixels8(const RotationRow& r, std::size_t begin,
                                           std::size_t count) {
    std::size_t k = begin;
    for (Cells c; k + 8 <= count; k += 8)
        // A step with nothing turned: the row already holds the plain pixels.
        if (bilinearCells(r, k, c)) store(r, k, blend(c, 3), c.accept);
    return k;
}

TORVELINK_AVX2 std::size_t NearestPixels8(const RotationRow& r, std::size_t begin,
                                          std::size_t count) {
    const auto* pixels = reinterpret_cast<const int*>(r.src);
    std::size_t k = begin;
    __m256i at, accept;
    for (; k + 8 <= count; k += 8)
        if (nearestCells(r, k, at, accept))
            store(r, k, _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), pixels, at, accept, 4),
                  accept);
    return k;
}

namespace {

// Eight pixels whose fourth byte is their opacity, all four bytes: the
// turned ones where accepted, the base pixels elsewhere.
TORVELINK_AVX2 inline void storeWhole(const RotationRow& r, std::size_t k, __m256i pixels,
                                      __m256i accept) {
    const __m256i base = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r.base + k * 4));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.out + k * 4),
                        _mm256_blendv_epi8(base, pixels, accept));
}

// Accepted lanes whose four source opacities are not all equal, as bits.
TORVELINK_AVX2 inline unsigned unevenOpacity(__m256i p00, __m256i p10, __m256i p01, __m256i p11,
                                             __m256i accept) {
    const __m256i a00 = _mm256_srli_epi32(p00, 24);
    const __m256i even =
        _mm256_and_si256(_mm256_cmpeq_epi32(a00, _mm256_srli_epi32(p10, 24)),
                         _mm256_and_si256(_mm256_cmpeq_epi32(a00, _mm256_srli_epi32(p01, 24)),
                                          _mm256_cmpeq_epi32(a00, _mm256_srli_epi32(p11, 24))));
    return static_cast<unsigned>(
        _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_andnot_si256(even, accept))));
}

}  // namespace

// Where the four opacities of a cell are equal, the colours blend as the
// opaque loop blends them, and the opacity too: all four bytes in lanes. The
// rest, an edge's few pixels, are weighted by the scalar blend.
TORVELINK_AVX2 std::size_t BilinearAlphaPixels8(const RotationRow& r, std::size_t begin,
                                                std::size_t count) {
    std::size_t k = begin;
    for (Cells c; k + 8 <= count; k += 8) {
        if (!bilinearCells(r, k, c)) continue;
        storeWhole(r, k, blend(c, 4), c.accept);
        const unsigned lanes = unevenOpacity(c.p00, c.p10, c.p01, c.p11, c.accept);
        if (lanes == 0) continue;
        alignas(32) int32_t index[8], wa[8], wb[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(index), c.at);
        _mm256_store_si256(reinterpret_cast<__m256i*>(wa), c.a);
        _mm256_store_si256(reinterpret_cast<__m256i*>(wb), c.b);
        blendUnevenLanes(r.src, r.width, r.out + k * 4, lanes, index, wa, wb);
    }
    return k;
}

TORVELINK_AVX2 std::size_t NearestAlphaPixels8(const RotationRow& r, std::size_t begin,
                                               std::size_t count) {
    const auto* pixels = reinterpret_cast<const int*>(r.src);
    std::size_t k = begin;
    __m256i at, accept;
    for (; k + 8 <= count; k += 8)
        if (nearestCells(r, k, at, accept))
            storeWhole(r, k,
                       _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), pixels, at, accept, 4),
                       accept);
    return k;
}

}  // namespace AppModul

}  // namespace Render
