// The sharp routine sixteen pixels at a time (AVX-512): sharpPixel's
// operations in sixteen lanes, in its order, so that the bytes are the same.
// A pixel's tap rows are summed across in one quarter of a register, its
// bytes side by side, two taps a 16-bit multiply; four pixels a register
// (pixel g + 4 k in quarter k of group g), so that one transpose puts the
// sums of pixels k .. k + 15 into lanes in order for the rest.
#include <immintrin.h>

// GCC 12's own AVX-512 casts start from an undefined vector, which its flow
// analysis takes for an uninitialised variable of ours.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "sharp_pixel.h"

namespace Render {

namespace AppModul {

namespace {

#define TORVELINK_AVX512 __attribute__((target("avx512f,avx512bw")))

// How a tap row's bytes are weighted: the colours times 255 (no opacity),
// times their opacity, or plain.
enum class Taps { Opaque, Premultiplied, Plain };

// The state of sixteen pixels: shares, weights and where their taps start.
struct Lanes {
    __m512 u;
    __mmask16 active;
    __m512i q01, q23;  // column weights of taps 0 and 1, 2 and 3: one 16-bit half each
    __m512 wy[4];      // row weights
    // Where the tap rows are: the picture, or blocks of lanes that reach
    // beyond it; at holds each lane's top-left tap there (0 where none turns).
    const uint8_t* taps;
    std::ptrdiff_t line;
    alignas(64) int32_t at[16];
    uint32_t blocks[16][4][4];
};

struct Sums {
    __m512 sum[4], plain[3];  // blue, green, red times opacity, opacity; plain colours
    __m512i low, high;        // each byte's least and largest of the four nearest
};

TORVELINK_AVX512 inline __m512 clampLanes(__m512 v, __m512 lo, __m512 hi) {
    return _mm512_min_ps(_mm512_max_ps(v, lo), hi);
}

TORVELINK_AVX512 inline __m512 toFloats(const double* terms, std::size_t k, __m512d add) {
    const __m256 lo = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_loadu_pd(terms + k), add));
    const __m256 hi = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_loadu_pd(terms + k + 8), add));
    const __m512d low = _mm512_castps_pd(_mm512_castps256_ps512(lo));
    return _mm512_castpd_ps(_mm512_insertf64x4(low, _mm256_castps_pd(hi), 1));
}

// fixedWeights of sharp_pixel.h.
TORVELINK_AVX512 inline void fixedWeights(__m512 t, __m512i q[4]) {
    const __m512 t2 = _mm512_mul_ps(t, t);
    const __m512 t3 = _mm512_mul_ps(t2, t);
    const __m512 one = _mm512_set1_ps(static_cast<float>(kWeightOne));
    const __m512 w0 = _mm512_sub_ps(_mm512_sub_ps(_mm512_add_ps(t2, t2), t3), t);
    const __m512 w2 = _mm512_sub_ps(_mm512_add_ps(t, t2), t3);
    const __m512 w3 = _mm512_sub_ps(t3, t2);
    q[0] = _mm512_cvtps_epi32(_mm512_mul_ps(w0, one));
    q[2] = _mm512_cvtps_epi32(_mm512_mul_ps(w2, one));
    q[3] = _mm512_cvtps_epi32(_mm512_mul_ps(w3, one));
    q[1] = _mm512_sub_epi32(
        _mm512_sub_epi32(_mm512_sub_epi32(_mm512_set1_epi32(kWeightOne), q[0]), q[2]), q[3]);
}

TORVELINK_AVX512 inline __m512i pairOf(__m512i first, __m512i second) {
    return _mm512_or_si512(_mm512_and_si512(first, _mm512_set1_epi32(0xFFFF)),
                           _mm512_slli_epi32(second, 16));
}

TORVELINK_AVX512 inline __mmask16 within(__m512i v, int32_t lo, int32_t hi) {
    return _mm512_cmpge_epi32_mask(v, _mm512_set1_epi32(lo)) &
           _mm512_cmple_epi32_mask(v, _mm512_set1_epi32(hi));
}

// Lanes with a tap beyond the picture read their taps from blocks, the
// edge repeated as sharpPixel does; the others' blocks are not used.
TORVELINK_AVX512 inline void tapBlocks(const SharpRow& r, __m512i ix, __m512i iy, Lanes& l) {
    alignas(64) int32_t x[16], y[16];
    _mm512_store_si512(x, _mm512_maskz_mov_epi32(l.active, ix));
    _mm512_store_si512(y, _mm512_maskz_mov_epi32(l.active, iy));
    for (int n = 0; n < 16; ++n) {
        copyTaps(r, x[n], y[n], l.blocks[n]);
        l.at[n] = n * 16;
    }
    l.taps = reinterpret_cast<const uint8_t*>(l.blocks);
    l.line = 16;
}

// Pixels k .. k + 15: false when none turns.
TORVELINK_AVX512 inline bool setUp(const SharpRow& r, std::size_t k, Lanes& l) {
    const __m512 sx = toFloats(r.sxBase, k, _mm512_set1_pd(r.rowSx));
    const __m512 sy = toFloats(r.syTerm, k, _mm512_set1_pd(r.rowSy));
    const __m512 zero = _mm512_setzero_ps(), one = _mm512_set1_ps(1.0f);
    const __m512 d = _mm512_sqrt_ps(
        _mm512_add_ps(_mm512_loadu_ps(r.dxSquared + k), _mm512_set1_ps(r.dySquared)));
    const __m512 disc = clampLanes(_mm512_sub_ps(_mm512_set1_ps(r.outer), d), zero, one);
    const __m512 x = _mm512_min_ps(sx, _mm512_sub_ps(_mm512_set1_ps(r.widthPlusOne), sx));
    const __m512 y = _mm512_min_ps(sy, _mm512_sub_ps(_mm512_set1_ps(r.heightPlusOne), sy));
    l.u = _mm512_mul_ps(disc, clampLanes(_mm512_min_ps(x, y), zero, one));
    l.active = _mm512_cmp_ps_mask(l.u, zero, _CMP_GT_OQ);
    if (l.active == 0) return false;
    const __m512 fx = _mm512_roundscale_ps(sx, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    const __m512 fy = _mm512_roundscale_ps(sy, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    const __m512i ix = _mm512_cvttps_epi32(fx), iy = _mm512_cvttps_epi32(fy);
    __m512i q[4];
    fixedWeights(_mm512_sub_ps(sx, fx), q);
    l.q01 = pairOf(q[0], q[1]);
    l.q23 = pairOf(q[2], q[3]);
    fixedWeights(_mm512_sub_ps(sy, fy), q);
    for (int j = 0; j < 4; ++j)
        l.wy[j] = _mm512_mul_ps(_mm512_cvtepi32_ps(q[j]), _mm512_set1_ps(0x1p-28f));
    const __mmask16 inside = within(ix, 2, r.width - 2) & within(iy, 2, r.height - 2);
    if ((l.active & ~inside) != 0) {
        tapBlocks(r, ix, iy, l);
        return true;
    }
    const __m512i at = _mm512_add_epi32(
        _mm512_mullo_epi32(_mm512_sub_epi32(iy, _mm512_set1_epi32(2)), _mm512_set1_epi32(r.width)),
        _mm512_sub_epi32(ix, _mm512_set1_epi32(2)));
    _mm512_store_si512(l.at, _mm512_maskz_mov_epi32(l.active, at));
    l.taps = r.src;
    l.line = std::ptrdiff_t{r.width} * 4;
    return true;
}

// One tap row of group g: the four taps of pixel g + 4 k in quarter k.
TORVELINK_AVX512 inline __m512i tapRow(const uint8_t* src, const int32_t* at, int g) {
    const auto taps = [src, at](int lane) {
        return _mm_loadu_si128(
            reinterpret_cast<const __m128i*>(src + std::ptrdiff_t{at[lane]} * 4));
    };
    __m512i row = _mm512_castsi128_si512(taps(g));
    row = _mm512_inserti32x4(row, taps(g + 4), 1);
    row = _mm512_inserti32x4(row, taps(g + 8), 2);
    return _mm512_inserti32x4(row, taps(g + 12), 3);
}

TORVELINK_AVX512 inline __m512i quarters(__m128i pattern) {
    return _mm512_broadcast_i32x4(pattern);
}

// rowSums of sharp_pixel.h for four pixels: each quarter's blue, green,
// red and fourth sums, whole numbers. Premultiplied colours reach 65025,
// beyond a signed 16-bit lane: they are taken less 32768, and 32768 times
// the weights' sum of 1 added back.
template <Taps taps>
TORVELINK_AVX512 inline __m512i across(__m512i row, __m512i q01, __m512i q23) {
    // Taps 0 and 1 (2 and 3) of each byte side by side in 16-bit lanes.
    __m512i x01 = _mm512_shuffle_epi8(
        row, quarters(_mm_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1)));
    __m512i x23 = _mm512_shuffle_epi8(
        row, quarters(_mm_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1)));
    if constexpr (taps != Taps::Premultiplied)
        return _mm512_add_epi32(_mm512_madd_epi16(x01, q01), _mm512_madd_epi16(x23, q23));
    // The colours (not the opacities themselves) times their tap's opacity.
    const __mmask32 colours = 0x3F3F3F3F;
    const __m512i a01 = _mm512_shuffle_epi8(
        row, quarters(_mm_setr_epi8(3, -1, 7, -1, 3, -1, 7, -1, 3, -1, 7, -1, -1, -1, -1, -1)));
    const __m512i a23 = _mm512_shuffle_epi8(
        row,
        quarters(_mm_setr_epi8(11, -1, 15, -1, 11, -1, 15, -1, 11, -1, 15, -1, -1, -1, -1, -1)));
    const __m512i bias = _mm512_set1_epi16(-32768);
    x01 = _mm512_xor_si512(_mm512_mask_mullo_epi16(x01, colours, x01, a01), bias);
    x23 = _mm512_xor_si512(_mm512_mask_mullo_epi16(x23, colours, x23, a23), bias);
    return _mm512_add_epi32(
        _mm512_add_epi32(_mm512_madd_epi16(x01, q01), _mm512_madd_epi16(x23, q23)),
        _mm512_set1_epi32(32768 * kWeightOne));
}

// Group g's sums down its four tap rows (sumTaps of sharp_pixel.h); with
// nearest, the least and largest bytes of the four nearest taps in each
// quarter's second 32-bit lane.
template <Taps taps>
TORVELINK_AVX512 inline __m512 groupSums(const Lanes& l, int g, __m512i* nearest = nullptr) {
    const __m512i spread =
        _mm512_add_epi32(_mm512_setr_epi32(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12),
                         _mm512_set1_epi32(g));
    const __m512i q01 = _mm512_permutexvar_epi32(spread, l.q01);
    const __m512i q23 = _mm512_permutexvar_epi32(spread, l.q23);
    __m512 s = _mm512_setzero_ps();
    for (int j = 0; j < 4; ++j) {
        const __m512i row = tapRow(l.taps + j * l.line, l.at, g);
        __m512 h = _mm512_cvtepi32_ps(across<taps>(row, q01, q23));
        // Exact: the opaque sums stay below 2^24 before this one rounding.
        if constexpr (taps == Taps::Opaque) h = _mm512_mul_ps(h, _mm512_set1_ps(255.0f));
        const __m512 term = _mm512_mul_ps(_mm512_permutexvar_ps(spread, l.wy[j]), h);
        s = j == 0 ? term : _mm512_add_ps(s, term);
        if (nearest == nullptr || j == 0 || j == 3) continue;
        nearest[0] = j == 1 ? row : _mm512_min_epu8(nearest[0], row);
        nearest[1] = j == 1 ? row : _mm512_max_epu8(nearest[1], row);
    }
    if (nearest != nullptr) {
        nearest[0] = _mm512_min_epu8(nearest[0], _mm512_bsrli_epi128(nearest[0], 4));
        nearest[1] = _mm512_max_epu8(nearest[1], _mm512_bsrli_epi128(nearest[1], 4));
    }
    return s;
}

// The four groups' sums as one register a byte, pixels in order.
TORVELINK_AVX512 inline void inLanes(const __m512 s[4], __m512 out[4]) {
    const __m512d t0 = _mm512_castps_pd(_mm512_unpacklo_ps(s[0], s[1]));
    const __m512d t1 = _mm512_castps_pd(_mm512_unpackhi_ps(s[0], s[1]));
    const __m512d t2 = _mm512_castps_pd(_mm512_unpacklo_ps(s[2], s[3]));
    const __m512d t3 = _mm512_castps_pd(_mm512_unpackhi_ps(s[2], s[3]));
    out[0] = _mm512_castpd_ps(_mm512_unpacklo_pd(t0, t2));
    out[1] = _mm512_castpd_ps(_mm512_unpackhi_pd(t0, t2));
    out[2] = _mm512_castpd_ps(_mm512_unpacklo_pd(t1, t3));
    out[3] = _mm512_castpd_ps(_mm512_unpackhi_pd(t1, t3));
}

TORVELINK_AVX512 inline __m512i secondInLanes(__m512i m0, __m512i m1, __m512i m2, __m512i m3) {
    return _mm512_unpackhi_epi64(_mm512_unpacklo_epi32(m0, m1), _mm512_unpacklo_epi32(m2, m3));
}

// Byte c of each pixel, as a float.
TORVELINK_AVX512 inline __m512 channel(__m512i pixels, int c) {
    return _mm512_cvtepi32_ps(_mm512_and_si512(
        _mm512_srli_epi32(pixels, static_cast<unsigned>(8 * c)), _mm512_set1_epi32(0xFF)));
}

TORVELINK_AVX512 inline __m512 opacityOf(__m512i pixels, bool opacity) {
    return opacity ? _mm512_cvtepi32_ps(_mm512_srli_epi32(pixels, 24)) : _mm512_set1_ps(255.0f);
}

// clampToNearest of sharp_pixel.h.
TORVELINK_AVX512 inline void clampToNearest(Sums& s, bool opacity) {
    const __m512 a = opacityOf(s.low, opacity), b = opacityOf(s.high, opacity);
    for (int c = 0; c < 3; ++c)
        s.sum[c] = clampLanes(s.sum[c], _mm512_mul_ps(a, channel(s.low, c)),
                              _mm512_mul_ps(b, channel(s.high, c)));
    s.sum[3] = opacity ? clampLanes(s.sum[3], a, b) : _mm512_set1_ps(255.0f);
}

template <Taps taps>
TORVELINK_AVX512 inline Sums sumTaps(const SharpRow& r, const Lanes& l) {
    __m512 groups[4];
    __m512i nearest[4][2];
    for (int g = 0; g < 4; ++g) groups[g] = groupSums<taps>(l, g, nearest[g]);
    Sums s;
    inLanes(groups, s.sum);
    s.low = secondInLanes(nearest[0][0], nearest[1][0], nearest[2][0], nearest[3][0]);
    s.high = secondInLanes(nearest[0][1], nearest[1][1], nearest[2][1], nearest[3][1]);
    for (int c = 0; c < 3; ++c) s.plain[c] = _mm512_setzero_ps();
    clampToNearest(s, r.opacity);
    return s;
}

// Where a lane comes out clear, its colour is the plain cubic: the taps
// are summed again with the plain colours, which the rest never needs.
TORVELINK_AVX512 inline void plainSums(const Lanes& l, Sums& s) {
    __m512 groups[4], plain[4];
    for (int g = 0; g < 4; ++g) groups[g] = groupSums<Taps::Plain>(l, g);
    inLanes(groups, plain);
    for (int c = 0; c < 3; ++c) s.plain[c] = plain[c];
}

TORVELINK_AVX512 inline __m512i toBytes(__m512 v) {
    return _mm512_cvtps_epi32(clampLanes(v, _mm512_setzero_ps(), _mm512_set1_ps(255.0f)));
}

// The sixteen pixels, the lanes that do not turn from `base`; 64 bytes, or
// 48 when the target has three bytes a pixel.
TORVELINK_AVX512 inline void store(const SharpRow& r, std::size_t k, __m512i pixels, __m512i base,
                                   __mmask16 active) {
    pixels = _mm512_mask_blend_epi32(active, base, pixels);
    if (r.pixelBytes == 4) {
        _mm512_storeu_si512(r.out + k * 4, pixels);
        return;
    }
    const __m512i pack =
        quarters(_mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
    const __m512i packed = _mm512_permutexvar_epi32(
        _mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 3, 7, 11, 15),
        _mm512_shuffle_epi8(pixels, pack));
    _mm512_mask_storeu_epi8(r.out + k * 3, (__mmask64{1} << 48) - 1, packed);
}

// finishPixel of sharp_pixel.h in sixteen lanes.
TORVELINK_AVX512 void finish(const SharpRow& r, std::size_t k, const Lanes& l, Sums& s) {
    const __m512i still = _mm512_loadu_si512(r.base + k * 4);
    const __m512 v = _mm512_sub_ps(_mm512_set1_ps(1.0f), l.u);
    const __m512 a = opacityOf(still, r.opacity);
    const __m512 total = _mm512_add_ps(_mm512_mul_ps(l.u, s.sum[3]), _mm512_mul_ps(v, a));
    const __m512 inverse = _mm512_div_ps(_mm512_set1_ps(1.0f), total);
    const __mmask16 seen = _mm512_cmp_ps_mask(total, _mm512_set1_ps(0.5f), _CMP_GT_OQ);
    if ((l.active & ~seen) != 0) plainSums(l, s);
    __m512i pixels = r.opacity ? _mm512_slli_epi32(toBytes(total), 24)
                               : _mm512_and_si512(still, _mm512_set1_epi32(-16777216));
    for (int c = 0; c < 3; ++c) {
        const __m512 colour = channel(still, c);
        const __m512 weighted = _mm512_mul_ps(
            _mm512_add_ps(_mm512_mul_ps(l.u, s.sum[c]), _mm512_mul_ps(v, _mm512_mul_ps(a, colour))),
            inverse);
        const __m512 plain =
            _mm512_add_ps(_mm512_mul_ps(l.u, s.plain[c]), _mm512_mul_ps(v, colour));
        const __m512i byte = toBytes(_mm512_mask_blend_ps(seen, plain, weighted));
        pixels = _mm512_or_si512(pixels, _mm512_slli_epi32(byte, static_cast<unsigned>(8 * c)));
    }
    store(r, k, pixels, still, l.active);
}

}  // namespace

TORVELINK_AVX512 std::size_t SharpPixels16(const SharpRow& r, std::size_t begin,
                                           std::size_t count) {
    std::size_t k = begin;
    for (Lanes l; k + 16 <= count; k += 16) {
        if (!setUp(r, k, l)) continue;
        Sums s = r.opacity ? sumTaps<Taps::Premultiplied>(r, l) : sumTaps<Taps::Opaque>(r, l);
        finish(r, k, l, s);
    }
    return k;
}

}  // namespace AppModul

}  // namespace Render
