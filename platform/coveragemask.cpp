// SPDX-License-Identifier: MIT
// Coverage mask: rows of coverage and their mixing into a frame.
#include "coveragemask.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// x * a / 255 per channel, rounded.
inline std::uint32_t byteMul(std::uint32_t x, std::uint32_t a)
{
    std::uint32_t t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}
} // namespace

namespace {
int g_liveMasks = 0;
} // namespace

CoverageMask::~CoverageMask()
{
    --g_liveMasks;
}

int CoverageMask::liveCount()
{
    return g_liveMasks;
}

CoverageMask::CoverageMask(const QImage &alpha)
{
    ++g_liveMasks;
    const QImage a = alpha.format() == QImage::Format_Alpha8 ? alpha : alpha.convertToFormat(QImage::Format_Alpha8);
    // Fully covered stretches shorter than this are mixed with their neighbours
    // rather than filled: a run of its own costs more than mixing a few pixels.
    constexpr int kSolidRun = 8;
    for (int y = 0; y < a.height(); ++y) {
        const std::uint8_t *row = a.constScanLine(y);
        const int width = a.width();
        int x = 0;
        while (x < width) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            int solidEnd = x;
            while (solidEnd < width && row[solidEnd] == 255)
                ++solidEnd;
            if (solidEnd - x >= kSolidRun) {
                m_runs.push_back({y, x, solidEnd - x, 0, true});
                x = solidEnd;
                continue;
            }
            // Partly covered pixels up to the next long solid stretch or a gap.
            const int start = x;
            while (x < width && row[x] != 0) {
                int solid = x;
                while (solid < width && row[solid] == 255)
                    ++solid;
                if (solid - x >= kSolidRun)
                    break;
                x = std::max(solid, x + 1);
            }
            m_runs.push_back({y, start, x - start, static_cast<std::uint32_t>(m_coverage.size()), false});
            m_coverage.insert(m_coverage.end(), row + start, row + x);
        }
    }
}

std::unique_ptr<CoverageMask> CoverageMask::rasterise(const QRect &bounds, double ratio,
                                                      const std::function<void(QPainter &)> &draw)
{
    QImage alpha(bounds.size(), QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter p(&alpha);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(-bounds.left(), -bounds.top());
        p.scale(ratio, ratio);
        draw(p);
    }
    return std::make_unique<CoverageMask>(alpha);
}

namespace {
// Fills n pixels with one colour.
inline void fillPixels(std::uint32_t *line, int n, std::uint32_t colour)
{
#if defined(__SSE2__)
    const __m128i c = _mm_set1_epi32(static_cast<int>(colour));
    for (; n >= 4; n -= 4, line += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(line), c);
#endif
    std::fill(line, line + n, colour);
}

// Mixes the colour over n pixels with their coverage, exactly as mixOne does.
inline std::uint32_t mixOne(std::uint32_t colour, std::uint32_t a, std::uint32_t pixel)
{
    return (byteMul(colour, a) + byteMul(pixel, 255u - a)) | 0xff000000u;
}

inline void mixPixels(std::uint32_t *line, const std::uint8_t *cov, int n, std::uint32_t colour)
{
#if defined(__SSE2__)
    // Four pixels at a time, a channel in each 16-bit lane: the same sums and
    // roundings as mixOne, so the result is the same to the bit.
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    const __m128i half = _mm_set1_epi16(0x80);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xff000000u));
    const __m128i src = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
    auto byteMul16 = [&](__m128i x, __m128i f) {
        __m128i t = _mm_mullo_epi16(x, f);
        t = _mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half);
        return _mm_srli_epi16(t, 8);
    };
    for (; n >= 4; n -= 4, line += 4, cov += 4) {
        std::uint32_t four;
        std::memcpy(&four, cov, 4);
        __m128i a = _mm_cvtsi32_si128(static_cast<int>(four));
        a = _mm_unpacklo_epi8(a, a);
        a = _mm_unpacklo_epi16(a, a); // each pixel's coverage in its four bytes
        const __m128i aLo = _mm_unpacklo_epi8(a, zero), aHi = _mm_unpackhi_epi8(a, zero);
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(line));
        const __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
        const __m128i lo = _mm_add_epi16(byteMul16(src, aLo), byteMul16(dLo, _mm_sub_epi16(full, aLo)));
        const __m128i hi = _mm_add_epi16(byteMul16(src, aHi), byteMul16(dHi, _mm_sub_epi16(full, aHi)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(line), _mm_or_si128(_mm_packus_epi16(lo, hi), alpha));
    }
#endif
    for (int i = 0; i < n; ++i)
        line[i] = mixOne(colour, cov[i], line[i]);
}
} // namespace

void CoverageMask::blend(QImage &target, QPoint origin, Colour colour) const
{
    const std::uint32_t src = 0xff000000u | toQColor(colour).rgb();
    const int width = target.width();
    const int height = target.height();
    uchar *bits = target.bits(); // detaches once, not per row
    const qsizetype stride = target.bytesPerLine();
    for (const Run &r : m_runs) {
        const int y = origin.y() + r.y;
        if (y < 0 || y >= height)
            continue;
        const int x0 = std::max(origin.x() + r.x, 0);
        const int x1 = std::min(origin.x() + r.x + r.length, width);
        if (x0 >= x1)
            continue;
        auto *line = reinterpret_cast<std::uint32_t *>(bits + y * stride) + x0;
        if (r.solid)
            fillPixels(line, x1 - x0, src);
        else // the colour over each pixel, the way the raster engine mixes a solid edge
            mixPixels(line, m_coverage.data() + r.offset + (x0 - origin.x() - r.x), x1 - x0, src);
    }
}
