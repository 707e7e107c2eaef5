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
        // Four at a time, the first and last eight without a loop (up to sixteen
        // pixels, the usual stretch, take no loop at all); stores may overlap.
        const __m128i c = _mm_set1_epi32(static_cast<int>(colour));
        auto put = [&](int i) { _mm_storeu_si128(reinterpret_cast<__m128i *>(line + i), c); };
        if (n < 8) {
            put(0);
            put(n - 4);
            return;
        }
        put(0);
        put(4);
        put(n - 8);
        put(n - 4);
        for (int i = 8; i < n - 8; i += 4)
            put(i);
        return;
    }
#endif
    std::fill(line, line + n, colour);
}
