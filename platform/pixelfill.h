// SPDX-License-Identifier: MIT
// Filling a stretch of 32-bit pixels with one colour.
#pragma once

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

inline void fillPixels(std::uint32_t *line, int n, std::uint32_t colour)
{
#if defined(__SSE2__)
    if (n >= 4) {
        // Four at a time; the last four may overlap the ones before.
        const __m128i c = _mm_set1_epi32(static_cast<int>(colour));
        for (int i = 0; i + 4 < n; i += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i *>(line + i), c);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(line + n - 4), c);
        return;
    }
#endif
    std::fill(line, line + n, colour);
}
