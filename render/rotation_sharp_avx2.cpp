// The sharp routine eight pixels at a time (AVX2): sharpPixel's operations
// in eight lanes, in its order, so that the bytes are the same. A pixel's
// tap rows are summed across in one half of a register, its bytes side by
// side, two taps a 16-bit multiply; two pixels a register (pixel g + 4 k in
// half k of group g), so that one transpose puts the sums of pixels
// k .. k + 7 into lanes in order for the rest.
#include <immintrin.h>

#include "sharp_pixel.h"

namespace Render {

namespace AppModul {

namespace {

// Indices stay far inside 32-bit lanes up to this side.
constexpr int kMaxWideSide = 16384;

#define TORVELINK_AVX2 __attribute__((target("avx2")))

// How a tap row's bytes are weighted: the colours times 255 (no opacity),
// times their opacity, or plain.
enum class Taps { Opaque, Premultiplied, Plain };

// The state of eight pixels: shares, weights and where their taps start.
struct Lanes {
    __m256 u, active;
    __m256i q01, q23;  // column weights of taps 0 and 1, 2 and 3: one 16-bit half each
    __m256 wy[4];      // row weights
    // Where the tap rows are: the picture, or blocks of lanes that reach
    // beyond it; at holds each lane's top-left tap there (0 where none turns).
    const uint8_t* taps;
    std::ptrdiff_t line;
    alignas(32) int32_t at[8];
    uint32_t blocks[8][4][4];
};

struct Sums {
    __m256 sum[4], plain[3];  // blue, green, red times opacity, opacity; plain colours
    __m256i low, high;        // each byte's least and largest of the four nearest
};

TORVELINK_AVX2 inline __m256 clampLanes(__m256 v, __m256 lo, __m256 hi) {
    return _mm256_min_ps(_mm256_max_ps(v, lo), hi);
}

TORVELINK_AVX2 inline __m256 toFloats(const double* terms, std::size_t k, __m256d add) {
    return _mm256_set_m128(_mm256_cvtpd_ps(_mm256_add_pd(_mm256_loadu_pd(terms + k + 4), add)),
                           _mm256_cvtpd_ps(_mm256_add_pd(_mm256_loadu_pd(terms + k), add)));
}

// fixedWeights of sharp_pixel.h.
TORVELINK_AVX2 inline void fixedWeights(__m256 t, __m256i q[4]) {
    const __m256 t2 = _mm256_mul_ps(t, t);
    const __m256 t3 = _mm256_mul_ps(t2, t);
    const __m256 one = _mm256_set1_ps(static_cast<float>(kWeightOne));
    const __m256 w0 = _mm256_sub_ps(_mm256_sub_ps(_mm256_add_ps(t2, t2), t3), t);
    const __m256 w2 = _mm256_sub_ps(_mm256_add_ps(t, t2), t3);
    const __m256 w3 = _mm256_sub_ps(t3, t2);
    q[0] = _mm256_cvtps_epi32(_mm256_mul_ps(w0, one));
    q[2] = _mm256_cvtps_epi32(_mm256_mul_ps(w2, one));
    q[3] = _mm256_cvtps_epi32(_mm256_mul_ps(w3, one));
    q[1] = _mm256_sub_epi32(
        _mm256_sub_epi32(_mm256_sub_epi32(_mm256_set1_epi32(kWeightOne), q[0]), q[2]), q[3]);
}

TORVELINK_AVX2 inline __m256i pairOf(__m256i first, __m256i second) {
    return _mm256_or_si256(_mm256_and_si256(first, _mm256_set1_epi32(0xFFFF)),
                           _mm256_slli_epi32(second, 16));
}

// Whether lo <= v <= hi in every lane that turns.
TORVELINK_AVX2 inline bool within(__m256i v, int32_t lo, int32_t hi, __m256 active) {
    const __m256i out = _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(lo), v),
                                        _mm256_cmpgt_epi32(v, _mm256_set1_epi32(hi)));
    return _mm256_testz_si256(out, _mm256_castps_si256(active)) != 0;
}

// Lanes with a tap beyond the picture read their taps from blocks, the
// edge repeated as sharpPixel does; the others' blocks are not used.
TORVELINK_AVX2 inline void tapBlocks(const SharpRow& r, __m256i ix, __m256i iy, Lanes& l) {
    alignas(32) int32_t x[8], y[8];
    const __m256i active = _mm256_castps_si256(l.active);
    _mm256_store_si256(reinterpret_cast<__m256i*>(x), _mm256_and_si256(ix, active));
    _mm256_store_si256(reinterpret_cast<__m256i*>(y), _mm256_and_si256(iy, active));
    for (int n = 0; n < 8; ++n) {
        copyTaps(r, x[n], y[n], l.blocks[n]);
        l.at[n] = n * 16;
    }
    l.taps = reinterpret_cast<const uint8_t*>(l.blocks);
    l.line = 16;
}

// Pixels k .. k + 7: false when none turns.
TORVELINK_AVX2 inline bool setUp(const SharpRow& r, std::size_t k, Lanes& l) {
    const __m256 sx = toFloats(r.sxBase, k, _mm256_set1_pd(r.rowSx));
    const __m256 sy = toFloats(r.syTerm, k, _mm256_set1_pd(r.rowSy));
    const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f);
    const __m256 d = _mm256_sqrt_ps(
        _mm256_add_ps(_mm256_loadu_ps(r.dxSquared + k), _mm256_set1_ps(r.dySquared)));
    const __m256 disc = clampLanes(_mm256_sub_ps(_mm256_set1_ps(r.outer), d), zero, one);
    const __m256 x = _mm256_min_ps(sx, _mm256_sub_ps(_mm256_set1_ps(r.widthPlusOne), sx));
    const __m256 y = _mm256_min_ps(sy, _mm256_sub_ps(_mm256_set1_ps(r.heightPlusOne), sy));
    l.u = _mm256_mul_ps(disc, clampLanes(_mm256_min_ps(x, y), zero, one));
    l.active = _mm256_cmp_ps(l.u, zero, _CMP_GT_OQ);
    if (_mm256_testz_ps(l.active, l.active)) return false;
    const __m256 fx = _mm256_floor_ps(sx), fy = _mm256_floor_ps(sy);
    const __m256i ix = _mm256_cvttps_epi32(fx), iy = _mm256_cvttps_epi32(fy);
    __m256i q[4];
    fixedWeights(_mm256_sub_ps(sx, fx), q);
    l.q01 = pairOf(q[0], q[1]);
    l.q23 = pairOf(q[2], q[3]);
    fixedWeights(_mm256_sub_ps(sy, fy), q);
    for (int j = 0; j < 4; ++j)
        l.wy[j] = _mm256_mul_ps(_mm256_cvtepi32_ps(q[j]), _mm256_set1_ps(0x1p-28f));
    if (!within(ix, 2, r.width - 2, l.active) || !within(iy, 2, r.height - 2, l.active)) {
        tapBlocks(r, ix, iy, l);
        return true;
    }
    const __m256i at = _mm256_add_epi32(
        _mm256_mullo_epi32(_mm256_sub_epi32(iy, _mm256_set1_epi32(2)), _mm256_set1_epi32(r.width)),
        _mm256_sub_epi32(ix, _mm256_set1_epi32(2)));
    _mm256_store_si256(reinterpret_cast<__m256i*>(l.at),
                       _mm256_and_si256(at, _mm256_castps_si256(l.active)));
    l.taps = r.src;
    l.line = std::ptrdiff_t{r.width} * 4;
    return true;
}

// One tap row of group g: the four taps of pixel g + 4 k in half k.
TORVELINK_AVX2 inline __m256i tapRow(const uint8_t* src, const int32_t* at, int g) {
    const auto taps = [src, at](int lane) {
        return _mm_loadu_si128(
            reinterpret_cast<const __m128i*>(src + std::ptrdiff_t{at[lane]} * 4));
    };
    return _mm256_inserti128_si256(_mm256_castsi128_si256(taps(g)), taps(g + 4), 1);
}

TORVELINK_AVX2 inline __m256i halves(__m128i pattern) {
    return _mm256_broadcastsi128_si256(pattern);
}

// rowSums of sharp_pixel.h for two pixels: each half's blue, green, red
// and fourth sums, whole numbers. Premultiplied colours reach 65025, beyond
// a signed 16-bit lane: they are taken less 32768, and 32768 times the
// weights' sum of 1 added back.
template <Taps taps>
TORVELINK_AVX2 inline __m256i across(__m256i row, __m256i q01, __m256i q23) {
    // Taps 0 and 1 (2 and 3) of each byte side by side in 16-bit lanes.
    __m256i x01 = _mm256_shuffle_epi8(
        row, halves(_mm_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1)));
    __m256i x23 = _mm256_shuffle_epi8(
        row, halves(_mm_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1)));
    if constexpr (taps != Taps::Premultiplied)
        return _mm256_add_epi32(_mm256_madd_epi16(x01, q01), _mm256_madd_epi16(x23, q23));
    // The colours (not the opacities themselves) times their tap's opacity.
    const __m256i a01 = _mm256_shuffle_epi8(
        row, halves(_mm_setr_epi8(3, -1, 7, -1, 3, -1, 7, -1, 3, -1, 7, -1, -1, -1, -1, -1)));
    const __m256i a23 = _mm256_shuffle_epi8(
        row, halves(_mm_setr_epi8(11, -1, 15, -1, 11, -1, 15, -1, 11, -1, 15, -1, -1, -1, -1, -1)));
    const __m256i bias = _mm256_set1_epi16(-32768);
    x01 = _mm256_xor_si256(_mm256_blend_epi16(_mm256_mullo_epi16(x01, a01), x01, 0xC0), bias);
    x23 = _mm256_xor_si256(_mm256_blend_epi16(_mm256_mullo_epi16(x23, a23), x23, 0xC0), bias);
    return _mm256_add_epi32(
        _mm256_add_epi32(_mm256_madd_epi16(x01, q01), _mm256_madd_epi16(x23, q23)),
        _mm256_set1_epi32(32768 * kWeightOne));
}

// Group g's sums down its four tap rows (sumTaps of sharp_pixel.h); with
// nearest, the least and largest bytes of the four nearest taps in each
// half's second 32-bit lane.
template <Taps taps>
TORVELINK_AVX2 inline __m256 groupSums(const Lanes& l, int g, __m256i* nearest = nullptr) {
    const __m256i spread =
        _mm256_add_epi32(_mm256_setr_epi32(0, 0, 0, 0, 4, 4, 4, 4), _mm256_set1_epi32(g));
    const __m256i q01 = _mm256_permutevar8x32_epi32(l.q01, spread);
    const __m256i q23 = _mm256_permutevar8x32_epi32(l.q23, spread);
    __m256 s = _mm256_setzero_ps();
    for (int j = 0; j < 4; ++j) {
        const __m256i row = tapRow(l.taps + j * l.line, l.at, g);
        __m256 h = _mm256_cvtepi32_ps(across<taps>(row, q01, q23));
        // Exact: the opaque sums stay below 2^24 before this one rounding.
        if constexpr (taps == Taps::Opaque) h = _mm256_mul_ps(h, _mm256_set1_ps(255.0f));
        const __m256 term = _mm256_mul_ps(_mm256_permutevar8x32_ps(l.wy[j], spread), h);
        s = j == 0 ? term : _mm256_add_ps(s, term);
        if (nearest == nullptr || j == 0 || j == 3) continue;
        nearest[0] = j == 1 ? row : _mm256_min_epu8(nearest[0], row);
        nearest[1] = j == 1 ? row : _mm256_max_epu8(nearest[1], row);
    }
    if (nearest != nullptr) {
        nearest[0] = _mm256_min_epu8(nearest[0], _mm256_bsrli_epi128(nearest[0], 4));
        nearest[1] = _mm256_max_epu8(nearest[1], _mm256_bsrli_epi128(nearest[1], 4));
    }
    return s;
}

// The four groups' sums as one register a byte, pixels in order.
TORVELINK_AVX2 inline void inLanes(const __m256 s[4], __m256 out[4]) {
    const __m256d t0 = _mm256_castps_pd(_mm256_unpacklo_ps(s[0], s[1]));
    const __m256d t1 = _mm256_castps_pd(_mm256_unpackhi_ps(s[0], s[1]));
    const __m256d t2 = _mm256_castps_pd(_mm256_unpacklo_ps(s[2], s[3]));
    const __m256d t3 = _mm256_castps_pd(_mm256_unpackhi_ps(s[2], s[3]));
    out[0] = _mm256_castpd_ps(_mm256_unpacklo_pd(t0, t2));
    out[1] = _mm256_castpd_ps(_mm256_unpackhi_pd(t0, t2));
    out[2] = _mm256_castpd_ps(_mm256_unpacklo_pd(t1, t3));
    out[3] = _mm256_castpd_ps(_mm256_unpackhi_pd(t1, t3));
}

TORVELINK_AVX2 inline __m256i secondInLanes(__m256i m0, __m256i m1, __m256i m2, __m256i m3) {
    return _mm256_unpackhi_epi64(_mm256_unpacklo_epi32(m0, m1), _mm256_unpacklo_epi32(m2, m3));
}

// Byte c of each pixel, as a float.
TORVELINK_AVX2 inline __m256 channel(__m256i pixels, int c) {
    return _mm256_cvtepi32_ps(
        _mm256_and_si256(_mm256_srli_epi32(pixels, 8 * c), _mm256_set1_epi32(0xFF)));
}

TORVELINK_AVX2 inline __m256 opacityOf(__m256i pixels, bool opacity) {
    return opacity ? _mm256_cvtepi32_ps(_mm256_srli_epi32(pixels, 24)) : _mm256_set1_ps(255.0f);
}

// clampToNearest of sharp_pixel.h.
TORVELINK_AVX2 inline void clampToNearest(Sums& s, bool opacity) {
    const __m256 a = opacityOf(s.low, opacity), b = opacityOf(s.high, opacity);
    for (int c = 0; c < 3; ++c)
        s.sum[c] = clampLanes(s.sum[c], _mm256_mul_ps(a, channel(s.low, c)),
                              _mm256_mul_ps(b, channel(s.high, c)));
    s.sum[3] = opacity ? clampLanes(s.sum[3], a, b) : _mm256_set1_ps(255.0f);
}

template <Taps taps>
TORVELINK_AVX2 inline Sums sumTaps(const SharpRow& r, const Lanes& l) {
    __m256 groups[4];
    __m256i nearest[4][2];
    for (int g = 0; g < 4; ++g) groups[g] = groupSums<taps>(l, g, nearest[g]);
    Sums s;
    inLanes(groups, s.sum);
    s.low = secondInLanes(nearest[0][0], nearest[1][0], nearest[2][0], nearest[3][0]);
    s.high = secondInLanes(nearest[0][1], nearest[1][1], nearest[2][1], nearest[3][1]);
    for (int c = 0; c < 3; ++c) s.plain[c] = _mm256_setzero_ps();
    clampToNearest(s, r.opacity);
    return s;
}

// Where a lane comes out clear, its colour is the plain cubic: the taps
// are summed again with the plain colours, which the rest never needs.
TORVELINK_AVX2 inline void plainSums(const Lanes& l, Sums& s) {
    __m256 groups[4], plain[4];
    for (int g = 0; g < 4; ++g) groups[g] = groupSums<Taps::Plain>(l, g);
    inLanes(groups, plain);
    for (int c = 0; c < 3; ++c) s.plain[c] = plain[c];
}

TORVELINK_AVX2 inline __m256i toBytes(__m256 v) {
    return _mm256_cvtps_epi32(clampLanes(v, _mm256_setzero_ps(), _mm256_set1_ps(255.0f)));
}

// The eight pixels, the lanes that do not turn from `base`; 32 bytes, or
// 24 when the target has three bytes a pixel.
TORVELINK_AVX2 inline void store(const SharpRow& r, std::size_t k, __m256i pixels, __m256i base,
                                 __m256 active) {
    pixels = _mm256_blendv_epi8(base, pixels, _mm256_castps_si256(active));
    if (r.pixelBytes == 4) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.out + k * 4), pixels);
        return;
    }
    const __m256i pack =
        halves(_mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, pack),
                                                       _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
    uint8_t* out = r.out + k * 3;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
}

// finishPixel of sharp_pixel.h in eight lanes.
TORVELINK_AVX2 void finish(const SharpRow& r, std::size_t k, const Lanes& l, Sums& s) {
    const __m256i still = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r.base + k * 4));
    const __m256 v = _mm256_sub_ps(_mm256_set1_ps(1.0f), l.u);
    const __m256 a = opacityOf(still, r.opacity);
    const __m256 total = _mm256_add_ps(_mm256_mul_ps(l.u, s.sum[3]), _mm256_mul_ps(v, a));
    const __m256 inverse = _mm256_div_ps(_mm256_set1_ps(1.0f), total);
    const __m256 seen = _mm256_cmp_ps(total, _mm256_set1_ps(0.5f), _CMP_GT_OQ);
    if (!_mm256_testc_ps(seen, l.active)) plainSums(l, s);
    __m256i pixels = r.opacity ? _mm256_slli_epi32(toBytes(total), 24)
                               : _mm256_and_si256(still, _mm256_set1_epi32(-16777216));
    for (int c = 0; c < 3; ++c) {
        const __m256 colour = channel(still, c);
        const __m256 weighted = _mm256_mul_ps(
            _mm256_add_ps(_mm256_mul_ps(l.u, s.sum[c]), _mm256_mul_ps(v, _mm256_mul_ps(a, colour))),
            inverse);
        const __m256 plain =
            _mm256_add_ps(_mm256_mul_ps(l.u, s.plain[c]), _mm256_mul_ps(v, colour));
        const __m256i byte = toBytes(_mm256_blendv_ps(plain, weighted, seen));
        pixels = _mm256_or_si256(pixels, _mm256_slli_epi32(byte, 8 * c));
    }
    store(r, k, pixels, still, l.active);
}

}  // namespace

TORVELINK_AVX2 std::size_t SharpPixels8(const SharpRow& r, std::size_t begin, std::size_t count) {
    std::size_t k = begin;
    for (Lanes l; k + 8 <= count; k += 8) {
        if (!setUp(r, k, l)) continue;
        Sums s = r.opacity ? sumTaps<Taps::Premultiplied>(r, l) : sumTaps<Taps::Opaque>(r, l);
        finish(r, k, l, s);
    }
    return k;
}

SharpLoops SharpKernels(int32_t width, int32_t height) {
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    static const bool avx512 =
        __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
    SharpLoops loops;
    if (!avx2 || width < 4 || height < 4 || width > kMaxWideSide || height > kMaxWideSide)
        return loops;
    loops.eight = &SharpPixels8;
    if (avx512) loops.sixteen = &SharpPixels16;
    return loops;
}

}  // namespace AppModul

}  // namespace Render
