#pragma once

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vbu {

// Where the first of the bytes a, b and c is from p on, or end. One pass for all three, sixteen
// bytes a step: a line's end and the comma that may come first are found together.
inline const char *firstOf(const char *p, const char *end, char a, char b, char c)
{
#ifdef __SSE2__
    const __m128i wantA = _mm_set1_epi8(a);
    const __m128i wantB = _mm_set1_epi8(b);
    const __m128i wantC = _mm_set1_epi8(c);
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, wantA), _mm_cmpeq_epi8(bytes, wantB)),
                                          _mm_cmpeq_epi8(bytes, wantC));
        if (const int mask = _mm_movemask_epi8(hits))
            return p + __builtin_ctz(unsigned(mask));
    }
#endif
    while (p != end && *p != a && *p != b && *p != c)
        ++p;
    return p;
}

} // namespace vbu
