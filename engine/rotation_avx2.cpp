#include <immintrin.h>

#include "rotation_kernels.h"

namespace AppModul {

namespace {

constexpr int kMaxWideSide = 2048;

#define TORVELINK_AVX2 __attribute__((target("avx2")))

// numerator / 2^22, rounded half to even, in eight lanes.
TORVELINK_AVX2 inline __m256i roundFraction(__m256i n) {
    const __m256i odd = _mm256_and_si256(_mm256_srli_epi32(n, 22), _mm256_set1_epi32(1));
    const __m256i bias = _mm256_add_epi32(_mm256_set1_epi32((1 << 21) - 1), odd);
    return _mm256_srli_epi32(_mm256_add_epi32(n, bias), 22);
}

TORVELINK_AVX2 inline __m256i weighted(__m256i right, __m256i left, __m256i w, __m256i gw) {
    return roundFraction(
        _mm256_add_epi32(_mm256_mullo_epi32(right, w), _mm256_mullo_epi32(left, gw)));
}

TORVELINK_AVX2 inline __m256i channel(__m256i pixels, int shift) {
    return _mm256_and_si256(_mm256_srli_epi32(pixels, shift), _mm256_set1_epi32(0xFF));
}

// Eight float source positions from eight double ones: base[k] - minus or
// plus + base[k], rounded to float as the scalar loop stores them.
TORVELINK_AVX2 inline __m256 toFloats(__m256d lo, __m256d hi) {
    return _mm256_set_m128(_mm256_cvtpd_ps(hi), _mm256_cvtpd_ps(lo));
}

}  // namespace

bool WideKernelUsable(int32_t width, int32_t height) {
    static const bool hasAvx2 = __builtin_cpu_supports("avx2") != 0;
    return hasAvx2 && width <= kMaxWideSide && height <= kMaxWideSide;
}

TORVELINK_AVX2 std::size_t BilinearPixelsWide(const BilinearRow& r, std::size_t count) {
    const __m256d rowSx = _mm256_set1_pd(r.rowSx), rowSy = _mm256_set1_pd(r.rowSy);
    const __m256i one = _mm256_set1_epi32(1), width = _mm256_set1_epi32(r.width);
    const __m256i height = _mm256_set1_epi32(r.height);
    const __m256 cx = _mm256_set1_ps(r.centerX), cy = _mm256_set1_ps(r.centerY);
    const __m256 r2 = _mm256_set1_ps(r.radiusSquared);
    const __m256 scale = _mm256_set1_ps(4194304.0f);
    const __m256i whole = _mm256_set1_epi32(1 << 22);
    const __m256i fourth = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const auto* base = reinterpret_cast<const int*>(r.src);
    std::size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256 sx = toFloats(_mm256_sub_pd(_mm256_loadu_pd(r.sxBase + k), rowSx),
                                   _mm256_sub_pd(_mm256_loadu_pd(r.sxBase + k + 4), rowSx));
        const __m256 sy = toFloats(_mm256_add_pd(rowSy, _mm256_loadu_pd(r.syTerm + k)),
                                   _mm256_add_pd(rowSy, _mm256_loadu_pd(r.syTerm + k + 4)));
        const __m256 fx = _mm256_floor_ps(sx), fy = _mm256_floor_ps(sy);
        const __m256i ix = _mm256_cvttps_epi32(fx), iy = _mm256_cvttps_epi32(fy);
        __m256i accept = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpgt_epi32(ix, one), _mm256_cmpgt_epi32(width, ix)),
            _mm256_and_si256(_mm256_cmpgt_epi32(iy, one), _mm256_cmpgt_epi32(height, iy)));
        const __m256 dx = _mm256_sub_ps(fx, cx), dy = _mm256_sub_ps(fy, cy);
        const __m256 d2 = _mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy));
        accept = _mm256_and_si256(accept, _mm256_castps_si256(_mm256_cmp_ps(d2, r2, _CMP_LE_OQ)));
        if (_mm256_testz_si256(accept, accept)) continue;

        const __m256i a = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_sub_ps(sx, fx), scale));
        const __m256i b = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_sub_ps(sy, fy), scale));
        const __m256i ga = _mm256_sub_epi32(whole, a), gb = _mm256_sub_epi32(whole, b);
        const __m256i at = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(iy, one), width),
                                            _mm256_sub_epi32(ix, one));
        const __m256i below = _mm256_add_epi32(at, width);
        const __m256i zero = _mm256_setzero_si256();
        const __m256i p00 = _mm256_mask_i32gather_epi32(zero, base, at, accept, 4);
        const __m256i p10 = _mm256_mask_i32gather_epi32(zero, base + 1, at, accept, 4);
        const __m256i p01 = _mm256_mask_i32gather_epi32(zero, base, below, accept, 4);
        const __m256i p11 = _mm256_mask_i32gather_epi32(zero, base + 1, below, accept, 4);
        __m256i result = zero;
        for (int shift = 0; shift <= 16; shift += 8) {
            const __m256i top = weighted(channel(p10, shift), channel(p00, shift), a, ga);
            const __m256i bottom = weighted(channel(p11, shift), channel(p01, shift), a, ga);
            const __m256i value = weighted(bottom, top, b, gb);
            result = _mm256_or_si256(result, _mm256_slli_epi32(value, shift));
        }
        auto* out = reinterpret_cast<__m256i*>(r.out + k * 4);
        const __m256i old = _mm256_loadu_si256(out);
        result = _mm256_or_si256(result, _mm256_and_si256(old, fourth));
        _mm256_storeu_si256(out, _mm256_blendv_epi8(old, result, accept));
    }
    return k;
}

namespace {

// Eight destination pixels' source cells: which are accepted, their weights
// and their four source pixels.
struct Cells {
    __m256i accept, a, b, ga, gb, p00, p10, p01, p11;
};

TORVELINK_AVX2 inline Cells sourceCells(const BilinearRow& r, std::size_t k) {
    const __m256d rowSx = _mm256_set1_pd(r.rowSx), rowSy = _mm256_set1_pd(r.rowSy);
    const __m256i one = _mm256_set1_epi32(1), width = _mm256_set1_epi32(r.width);
    const __m256i height = _mm256_set1_epi32(r.height);
    const __m256 sx = toFloats(_mm256_sub_pd(_mm256_loadu_pd(r.sxBase + k), rowSx),
                               _mm256_sub_pd(_mm256_loadu_pd(r.sxBase + k + 4), rowSx));
    const __m256 sy = toFloats(_mm256_add_pd(rowSy, _mm256_loadu_pd(r.syTerm + k)),
                               _mm256_add_pd(rowSy, _mm256_loadu_pd(r.syTerm + k + 4)));
    const __m256 fx = _mm256_floor_ps(sx), fy = _mm256_floor_ps(sy);
    const __m256i ix = _mm256_cvttps_epi32(fx), iy = _mm256_cvttps_epi32(fy);
    Cells c;
    c.accept = _mm256_and_si256(
        _mm256_and_si256(_mm256_cmpgt_epi32(ix, one), _mm256_cmpgt_epi32(width, ix)),
        _mm256_and_si256(_mm256_cmpgt_epi32(iy, one), _mm256_cmpgt_epi32(height, iy)));
    const __m256 dx = _mm256_sub_ps(fx, _mm256_set1_ps(r.centerX));
    const __m256 dy = _mm256_sub_ps(fy, _mm256_set1_ps(r.centerY));
    const __m256 d2 = _mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy));
    c.accept = _mm256_and_si256(c.accept, _mm256_castps_si256(_mm256_cmp_ps(
                                              d2, _mm256_set1_ps(r.radiusSquared), _CMP_LE_OQ)));
    if (_mm256_testz_si256(c.accept, c.accept)) return c;
    const __m256 scale = _mm256_set1_ps(4194304.0f);
    const __m256i whole = _mm256_set1_epi32(1 << 22);
    c.a = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_sub_ps(sx, fx), scale));
    c.b = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_sub_ps(sy, fy), scale));
    c.ga = _mm256_sub_epi32(whole, c.a);
    c.gb = _mm256_sub_epi32(whole, c.b);
    const auto* base = reinterpret_cast<const int*>(r.src);
    const __m256i at = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(iy, one), width),
                                        _mm256_sub_epi32(ix, one));
    const __m256i below = _mm256_add_epi32(at, width);
    const __m256i zero = _mm256_setzero_si256();
    c.p00 = _mm256_mask_i32gather_epi32(zero, base, at, c.accept, 4);
    c.p10 = _mm256_mask_i32gather_epi32(zero, base + 1, at, c.accept, 4);
    c.p01 = _mm256_mask_i32gather_epi32(zero, base, below, c.accept, 4);
    c.p11 = _mm256_mask_i32gather_epi32(zero, base + 1, below, c.accept, 4);
    return c;
}

}  // namespace

TORVELINK_AVX2 std::size_t BilinearPixelsWideAlpha(const BilinearRow& r, std::size_t count,
                                                   uint32_t* uneven, std::size_t& unevenCount) {
    unevenCount = 0;
    std::size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const Cells c = sourceCells(r, k);
        if (_mm256_testz_si256(c.accept, c.accept)) continue;
        __m256i result = _mm256_setzero_si256();
        for (int shift = 0; shift <= 24; shift += 8) {
            const __m256i top = weighted(channel(c.p10, shift), channel(c.p00, shift), c.a, c.ga);
            const __m256i bottom =
                weighted(channel(c.p11, shift), channel(c.p01, shift), c.a, c.ga);
            const __m256i value = weighted(bottom, top, c.b, c.gb);
            result = _mm256_or_si256(result, _mm256_slli_epi32(value, shift));
        }
        auto* out = reinterpret_cast<__m256i*>(r.out + k * 4);
        _mm256_storeu_si256(out, _mm256_blendv_epi8(_mm256_loadu_si256(out), result, c.accept));
        const __m256i a00 = _mm256_srli_epi32(c.p00, 24);
        const __m256i even = _mm256_and_si256(
            _mm256_cmpeq_epi32(a00, _mm256_srli_epi32(c.p10, 24)),
            _mm256_and_si256(_mm256_cmpeq_epi32(a00, _mm256_srli_epi32(c.p01, 24)),
                             _mm256_cmpeq_epi32(a00, _mm256_srli_epi32(c.p11, 24))));
        auto lanes = static_cast<unsigned>(
            _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_andnot_si256(even, c.accept))));
        for (; lanes != 0; lanes &= lanes - 1)
            uneven[unevenCount++] =
                static_cast<uint32_t>(k) + static_cast<uint32_t>(__builtin_ctz(lanes));
    }
    return k;
}

}  // namespace AppModul
