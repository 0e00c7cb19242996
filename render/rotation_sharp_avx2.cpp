// The sharp routine eight pixels at a time: sharpPixel's operations in
// eight lanes, in its order, so that the bytes are the same.
#include <immintrin.h>

#include "sharp_pixel.h"

namespace Render {

namespace AppModul {

namespace {

// Indices stay far inside 32-bit lanes up to this side.
constexpr int kMaxWideSide = 16384;

#define TORVELINK_AVX2 __attribute__((target("avx2")))

// The state of eight pixels: positions, shares, weights and where their
// taps start.
struct Lanes {
    __m256 u, active;
    __m256 wx[4], wy[4];
    __m256i at;  // index of each lane's top-left tap
};

struct Sums {
    __m256 opacity, weighted[3], plain[3];
};

TORVELINK_AVX2 inline __m256 clampLanes(__m256 v, __m256 lo, __m256 hi) {
    return _mm256_min_ps(_mm256_max_ps(v, lo), hi);
}

TORVELINK_AVX2 inline __m256 toFloats(const double* terms, std::size_t k, __m256d add) {
    return _mm256_set_m128(_mm256_cvtpd_ps(_mm256_add_pd(_mm256_loadu_pd(terms + k + 4), add)),
                           _mm256_cvtpd_ps(_mm256_add_pd(_mm256_loadu_pd(terms + k), add)));
}

TORVELINK_AVX2 inline void weights(__m256 t, __m256 w[4]) {
    const __m256 t2 = _mm256_mul_ps(t, t);
    const __m256 t3 = _mm256_mul_ps(t2, t);
    w[0] = _mm256_sub_ps(_mm256_sub_ps(_mm256_add_ps(t2, t2), t3), t);
    w[1] = _mm256_add_ps(_mm256_sub_ps(_mm256_sub_ps(t3, t2), t2), _mm256_set1_ps(1.0f));
    w[2] = _mm256_sub_ps(_mm256_add_ps(t, t2), t3);
    w[3] = _mm256_sub_ps(t3, t2);
}

// Whether lo <= v <= hi in every lane that turns.
TORVELINK_AVX2 inline bool within(__m256i v, int32_t lo, int32_t hi, __m256 active) {
    const __m256i out = _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(lo), v),
                                        _mm256_cmpgt_epi32(v, _mm256_set1_epi32(hi)));
    return _mm256_testz_si256(out, _mm256_castps_si256(active)) != 0;
}

// Pixels k .. k + 7: false when none turns, or when one needs a tap beyond
// the picture (the scalar loop repeats the edge for those).
TORVELINK_AVX2 inline bool setUp(const SharpRow& r, std::size_t k, Lanes& l, bool& inside) {
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
    inside = within(ix, 2, r.width - 2, l.active) && within(iy, 2, r.height - 2, l.active);
    if (!inside) return true;
    weights(_mm256_sub_ps(sx, fx), l.wx);
    weights(_mm256_sub_ps(sy, fy), l.wy);
    const __m256i at = _mm256_add_epi32(
        _mm256_mullo_epi32(_mm256_sub_epi32(iy, _mm256_set1_epi32(2)), _mm256_set1_epi32(r.width)),
        _mm256_sub_epi32(ix, _mm256_set1_epi32(2)));
    // Lanes that do not turn read the picture's first pixels instead.
    l.at = _mm256_and_si256(at, _mm256_castps_si256(l.active));
    return true;
}

// The four taps of one tap row for eight lanes: tap i of every lane in
// taps[i], lanes in order.
TORVELINK_AVX2 inline void loadTapRow(const uint8_t* src, const int32_t* at, __m256i taps[4]) {
    __m256i q[4];
    for (int l = 0; l < 4; ++l) {
        const auto* lo = reinterpret_cast<const __m128i*>(src + std::ptrdiff_t{at[l]} * 4);
        const auto* hi = reinterpret_cast<const __m128i*>(src + std::ptrdiff_t{at[l + 4]} * 4);
        q[l] = _mm256_set_m128i(_mm_loadu_si128(hi), _mm_loadu_si128(lo));
    }
    const __m256i t0 = _mm256_unpacklo_epi32(q[0], q[1]), t1 = _mm256_unpacklo_epi32(q[2], q[3]);
    const __m256i t2 = _mm256_unpackhi_epi32(q[0], q[1]), t3 = _mm256_unpackhi_epi32(q[2], q[3]);
    taps[0] = _mm256_unpacklo_epi64(t0, t1);
    taps[1] = _mm256_unpackhi_epi64(t0, t1);
    taps[2] = _mm256_unpacklo_epi64(t2, t3);
    taps[3] = _mm256_unpackhi_epi64(t2, t3);
}

// Byte c of each pixel, as a float.
TORVELINK_AVX2 inline __m256 channel(__m256i pixels, int c) {
    const char z = -1;
    const auto b = static_cast<char>(c);
    const __m256i pick = _mm256_setr_epi8(
        b, z, z, z, static_cast<char>(b + 4), z, z, z, static_cast<char>(b + 8), z, z, z,
        static_cast<char>(b + 12), z, z, z, b, z, z, z, static_cast<char>(b + 4), z, z, z,
        static_cast<char>(b + 8), z, z, z, static_cast<char>(b + 12), z, z, z);
    return _mm256_cvtepi32_ps(_mm256_shuffle_epi8(pixels, pick));
}

TORVELINK_AVX2 inline __m256 opacityOf(__m256i pixels, bool opacity) {
    return opacity ? _mm256_cvtepi32_ps(_mm256_srli_epi32(pixels, 24)) : _mm256_set1_ps(255.0f);
}

// addTap of sharp_pixel.h without the four nearest; the plain colours only
// when asked for. Without opacity the sum of the opacities is not needed:
// it is clamped to 255 whatever it is.
template <bool opacity, bool plain>
TORVELINK_AVX2 inline void addTap(Sums& s, __m256i p, __m256 w) {
    const __m256 wa = _mm256_mul_ps(w, opacityOf(p, opacity));
    if (opacity) s.opacity = _mm256_add_ps(s.opacity, wa);
    for (int c = 0; c < 3; ++c) {
        const __m256 colour = channel(p, c);
        s.weighted[c] = _mm256_add_ps(s.weighted[c], _mm256_mul_ps(wa, colour));
        if (plain) s.plain[c] = _mm256_add_ps(s.plain[c], _mm256_mul_ps(w, colour));
    }
}

template <bool opacity, bool plain>
TORVELINK_AVX2 inline void addTapRow(Sums& s, const __m256i taps[4], const Lanes& l, int j) {
    for (int i = 0; i < 4; ++i) addTap<opacity, plain>(s, taps[i], _mm256_mul_ps(l.wy[j], l.wx[i]));
}

// clampToNearest of sharp_pixel.h; low and high hold each byte's least and
// largest of the four nearest.
template <bool opacity>
TORVELINK_AVX2 inline void clampToNearest(Sums& s, __m256i low, __m256i high) {
    const __m256 a = opacityOf(low, opacity), b = opacityOf(high, opacity);
    for (int c = 0; c < 3; ++c)
        s.weighted[c] = clampLanes(s.weighted[c], _mm256_mul_ps(a, channel(low, c)),
                                   _mm256_mul_ps(b, channel(high, c)));
    s.opacity = opacity ? clampLanes(s.opacity, a, b) : _mm256_set1_ps(255.0f);
}

// sumTaps of sharp_pixel.h, for eight lanes whose taps lie in the picture.
template <bool opacity, bool plain>
TORVELINK_AVX2 inline Sums sumTaps(const SharpRow& r, const Lanes& l) {
    Sums s;
    s.opacity = _mm256_setzero_ps();
    for (int c = 0; c < 3; ++c) s.weighted[c] = s.plain[c] = _mm256_setzero_ps();
    alignas(32) int32_t at[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), l.at);
    const std::ptrdiff_t line = std::ptrdiff_t{r.width} * 4;
    __m256i taps[4], low = _mm256_setzero_si256(), high = low;
    for (int j = 0; j < 4; ++j) {
        loadTapRow(r.src + j * line, at, taps);
        addTapRow<opacity, plain>(s, taps, l, j);
        if (j == 1) {
            low = _mm256_min_epu8(taps[1], taps[2]);
            high = _mm256_max_epu8(taps[1], taps[2]);
        } else if (j == 2) {
            low = _mm256_min_epu8(low, _mm256_min_epu8(taps[1], taps[2]));
            high = _mm256_max_epu8(high, _mm256_max_epu8(taps[1], taps[2]));
        }
    }
    clampToNearest<opacity>(s, low, high);
    return s;
}

TORVELINK_AVX2 inline __m256i toBytes(__m256 v) {
    return _mm256_cvtps_epi32(clampLanes(v, _mm256_setzero_ps(), _mm256_set1_ps(255.0f)));
}

// The eight pixels, the lanes that do not turn from `base`; 32 bytes, or
// 24 when the target has three bytes a pixel.
TORVELINK_AVX2 inline void store(const SharpRow& r, std::size_t k, __m256i pixels, __m256 active) {
    const __m256i base = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r.base + k * 4));
    pixels = _mm256_blendv_epi8(base, pixels, _mm256_castps_si256(active));
    if (r.pixelBytes == 4) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.out + k * 4), pixels);
        return;
    }
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0,
                                          1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, pack),
                                                       _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
    uint8_t* out = r.out + k * 3;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
}

// finishPixel of sharp_pixel.h in eight lanes.
TORVELINK_AVX2 void finish(const SharpRow& r, std::size_t k, const Lanes& l, const Sums& s) {
    const __m256i still = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r.base + k * 4));
    const __m256 v = _mm256_sub_ps(_mm256_set1_ps(1.0f), l.u);
    const __m256 a = opacityOf(still, r.opacity);
    const __m256 total = _mm256_add_ps(_mm256_mul_ps(l.u, s.opacity), _mm256_mul_ps(v, a));
    const __m256 inverse = _mm256_div_ps(_mm256_set1_ps(1.0f), total);
    const __m256 seen = _mm256_cmp_ps(total, _mm256_set1_ps(0.5f), _CMP_GT_OQ);
    __m256i pixels = r.opacity ? _mm256_slli_epi32(toBytes(total), 24)
                               : _mm256_and_si256(still, _mm256_set1_epi32(-16777216));
    for (int c = 0; c < 3; ++c) {
        const __m256 colour = channel(still, c);
        const __m256 weighted =
            _mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(l.u, s.weighted[c]),
                                        _mm256_mul_ps(v, _mm256_mul_ps(a, colour))),
                          inverse);
        const __m256 plain =
            _mm256_add_ps(_mm256_mul_ps(l.u, s.plain[c]), _mm256_mul_ps(v, colour));
        const __m256i byte = toBytes(_mm256_blendv_ps(plain, weighted, seen));
        pixels = _mm256_or_si256(pixels, _mm256_slli_epi32(byte, 8 * c));
    }
    store(r, k, pixels, l.active);
}

// Where a lane comes out clear, its colour is the plain cubic: the taps are
// summed again with the plain colours, which the rest never needs.
TORVELINK_AVX2 bool needsPlain(const SharpRow& r, std::size_t k, const Lanes& l, const Sums& s) {
    if (!r.opacity) return false;
    const __m256i still = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r.base + k * 4));
    const __m256 v = _mm256_sub_ps(_mm256_set1_ps(1.0f), l.u);
    const __m256 total =
        _mm256_add_ps(_mm256_mul_ps(l.u, s.opacity), _mm256_mul_ps(v, opacityOf(still, true)));
    const __m256 clear = _mm256_cmp_ps(total, _mm256_set1_ps(0.5f), _CMP_NGT_UQ);
    return !_mm256_testz_ps(clear, l.active);
}

}  // namespace

TORVELINK_AVX2 std::size_t SharpPixels8(const SharpRow& r, std::size_t begin, std::size_t count) {
    std::size_t k = begin;
    for (Lanes l; k + 8 <= count; k += 8) {
        bool inside = true;
        if (!setUp(r, k, l, inside)) continue;
        if (!inside) {
            for (std::size_t n = k; n < k + 8; ++n) sharpPixel(r, n);
            continue;
        }
        if (!r.opacity) {
            finish(r, k, l, sumTaps<false, false>(r, l));
            continue;
        }
        Sums s = sumTaps<true, false>(r, l);
        if (needsPlain(r, k, l, s)) s = sumTaps<true, true>(r, l);
        finish(r, k, l, s);
    }
    return k;
}

SharpLoops SharpKernels(int32_t width, int32_t height) {
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    SharpLoops loops;
    if (!avx2 || width < 4 || height < 4 || width > kMaxWideSide || height > kMaxWideSide)
        return loops;
    loops.eight = &SharpPixels8;
    return loops;
}

}  // namespace AppModul

}  // namespace Render
