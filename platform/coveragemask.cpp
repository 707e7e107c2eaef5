// SPDX-License-Identifier: MIT
// Coverage mask: rows of coverage and their mixing into a frame.
#include "coveragemask.h"

#include <QPainter>

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
int g_liveMasks = 0;

// Fully covered stretches shorter than this are mixed with their neighbours
// rather than filled: a run of its own costs more than mixing a few pixels.
constexpr int kSolidRun = 8;
// From this many mixed pixels on, a blend first tabulates the colour at every
// coverage; below it, building the tables would cost more than it saves.
constexpr std::size_t kTablesFrom = 1024;

// x * a / 255 per channel, rounded.
inline std::uint32_t byteMul(std::uint32_t x, std::uint32_t a)
{
    std::uint32_t t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}

// The colour over a pixel with coverage a, the way the raster engine mixes a solid edge.
inline std::uint32_t mixOne(std::uint32_t colour, std::uint32_t a, std::uint32_t pixel)
{
    return (byteMul(colour, a) + byteMul(pixel, 255u - a)) | 0xff000000u;
}

// Fills n pixels with one colour.
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

// Mixing computed pixel by pixel: for small shapes.
struct DirectMix
{
    std::uint32_t colour;
    std::uint32_t operator()(std::uint32_t pixel, std::uint32_t a) const { return mixOne(colour, a, pixel); }
};

} // namespace

// Mixing through tables: the colour's share at each coverage, and the whole
// result over the ground colour, which is under most mixed pixels.
struct CoverageMask::TableMix
{
    std::uint32_t colour = 0, ground = 0; // opaque once made
    std::uint32_t share[256];
    std::uint32_t overGround[256];
    void make(std::uint32_t c, std::uint32_t g)
    {
        colour = c;
        ground = g;
        for (std::uint32_t a = 0; a < 256; ++a) {
            share[a] = byteMul(colour, a);
            overGround[a] = (share[a] + byteMul(ground, 255u - a)) | 0xff000000u;
        }
    }
    std::uint32_t operator()(std::uint32_t pixel, std::uint32_t a) const
    {
        return pixel == ground ? overGround[a] : (share[a] + byteMul(pixel, 255u - a)) | 0xff000000u;
    }
};

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
                m_runs.push_back({y, x, solidEnd - x, kSolid});
                m_extent |= QRect(x, y, solidEnd - x, 1);
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
            m_runs.push_back({y, start, x - start, static_cast<std::uint32_t>(m_coverage.size())});
            m_extent |= QRect(start, y, x - start, 1);
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

template <bool Clip, typename Mix>
void CoverageMask::blendRuns(QImage &target, QPoint origin, std::uint32_t colour, const Mix &mix) const
{
    const int width = target.width();
    const int height = target.height();
    uchar *bits = target.bits(); // detaches once, not per row
    const qsizetype stride = target.bytesPerLine();
    for (const Run &r : m_runs) {
        const int y = origin.y() + r.y;
        int x0 = origin.x() + r.x;
        int x1 = x0 + r.length;
        if constexpr (Clip) {
            if (y < 0 || y >= height)
                continue;
            x0 = std::max(x0, 0);
            x1 = std::min(x1, width);
            if (x0 >= x1)
                continue;
        }
        auto *line = reinterpret_cast<std::uint32_t *>(bits + y * stride) + x0;
        const int n = x1 - x0;
        if (r.offset == kSolid) {
            fillPixels(line, n, colour);
            continue;
        }
        const std::uint8_t *coverage = m_coverage.data() + r.offset + (x0 - origin.x() - r.x);
        for (int i = 0; i < n; ++i)
            line[i] = mix(line[i], coverage[i]);
    }
}

void CoverageMask::blend(QImage &target, QPoint origin, Colour colour, Colour ground) const
{
    const std::uint32_t src = 0xff000000u | toQColor(colour).rgb();
    // Whole inside the target (the usual case), no run needs clipping.
    const bool inside = QRect(QPoint(0, 0), target.size()).contains(m_extent.translated(origin));
    auto run = [&](const auto &mix) {
        if (inside)
            blendRuns<false>(target, origin, src, mix);
        else
            blendRuns<true>(target, origin, src, mix);
    };
    if (m_coverage.size() >= kTablesFrom) {
        // Most shapes keep their colour from frame to frame: the tables are kept too.
        const std::uint32_t under = 0xff000000u | toQColor(ground).rgb();
        if (!m_tables)
            m_tables = std::make_unique<TableMix>();
        if (m_tables->colour != src || m_tables->ground != under) // a new one is all zero: never opaque
            m_tables->make(src, under);
        run(*m_tables);
    } else
        run(DirectMix{src});
}
