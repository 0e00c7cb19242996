#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Engine {

// Conversion of a double to a 32-bit integer: nearest, halves to the even
// neighbour. The value must lie inside the 32-bit range.
inline int32_t RoundHalfEven(double v) {
#if defined(__SSE2__)
    // cvtsd2si rounds by the current mode, which is round-to-nearest-even;
    // the same result as std::nearbyint without the library call.
    return _mm_cvtsd_si32(_mm_set_sd(v));
#else
    return static_cast<int32_t>(std::nearbyint(v));
#endif
}

// As RoundHalfEven, for any double: values beyond the 32-bit range give the
// nearest end of the range, NaN gives 0.
inline int32_t RoundHalfEvenClamped(double v) {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);
    if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

// Largest integer not above v, for v well inside the 32-bit range.
inline int32_t FloorToInt(float v) {
    const auto t = static_cast<int32_t>(v);
    return static_cast<float>(t) > v ? t - 1 : t;
}

}  // namespace Engine
