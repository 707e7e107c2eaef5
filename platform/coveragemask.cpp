// SPDX-License-Identifier: MIT
// Coverage mask: rows of coverage and their mixing into a frame.
#include "coveragemask.h"

#include "pixelfill.h"

#include <QPainter>

#include <algorithm>
#include <atomic>

namespace {
// Masks are made on the text thread too.
std::atomic<int> g_liveMasks = 0;

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
    m_mixedStart.reserve(static_cast<std::size_t>(a.height()) + 1);
    m_solidStart.reserve(static_cast<std::size_t>(a.height()) + 1);
    for (int y = 0; y < a.height(); ++y) {
        m_mixedStart.push_back(static_cast<std::uint32_t>(m_mixedX.size()));
        m_solidStart.push_back(static_cast<std::uint32_t>(m_solids.size()));
        const std::uint8_t *row = a.constScanLine(y);
        const int width = a.width();
        for (int x = 0; x < width;) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            int solidEnd = x;
            while (solidEnd < width && row[solidEnd] == 255)
                ++solidEnd;
            if (solidEnd - x >= kSolidRun) {
                m_solids.push_back({x, solidEnd - x});
                m_extent |= QRect(x, y, solidEnd - x, 1);
                x = solidEnd;
                continue;
            }
            const int start = x;
            for (; x < solidEnd || (x < width && row[x] != 0 && row[x] != 255); ++x) {
                m_mixedX.push_back(x);
                m_coverage.push_back(row[x]);
            }
            m_extent |= QRect(start, y, x - start, 1);
        }
    }
    m_mixedStart.push_back(static_cast<std::uint32_t>(m_mixedX.size()));
    m_solidStart.push_back(static_cast<std::uint32_t>(m_solids.size()));
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

template <bool Clip, CoverageMask::Under U, typename Mix>
void CoverageMask::blendRows(QImage &target, QPoint origin, int firstRow, int endRow, std::uint32_t colour,
                             const Mix &mix, std::uint32_t *store) const
{
    const int width = target.width();
    uchar *bits = target.bits(); // detaches once, not per row
    const qsizetype stride = target.bytesPerLine();
    const int ox = origin.x();
    for (int row = firstRow; row < endRow; ++row) {
        std::uint32_t *line = reinterpret_cast<std::uint32_t *>(bits + (origin.y() + row) * stride);
        for (std::uint32_t i = m_mixedStart[row], end = m_mixedStart[row + 1]; i < end; ++i) {
            const int x = ox + m_mixedX[i];
            if constexpr (Clip) {
                if (x < 0 || x >= width)
                    continue;
            }
            if constexpr (U == Under::Ignore) {
                line[x] = mix(line[x], m_coverage[i]);
            } else if constexpr (U == Under::Keep) {
                store[i] = line[x];
                line[x] = mix(store[i], m_coverage[i]);
            } else {
                line[x] = mix(store[i], m_coverage[i]);
            }
        }
        for (std::uint32_t i = m_solidStart[row], end = m_solidStart[row + 1]; i < end; ++i) {
            int x0 = ox + m_solids[i].x;
            int x1 = x0 + m_solids[i].length;
            if constexpr (Clip) {
                x0 = std::max(x0, 0);
                x1 = std::min(x1, width);
                if (x0 >= x1)
                    continue;
            }
            fillPixels(line + x0, x1 - x0, colour);
        }
    }
}

void CoverageMask::blend(QImage &target, QPoint origin, Colour colour, Colour ground, int fromY, int toY,
                         Under under, std::uint32_t *store) const
{
    // The mask's rows that land on the target's rows fromY..toY - 1.
    const qint64 top = std::max<qint64>({0, qint64(fromY) - origin.y(), -qint64(origin.y())});
    const qint64 bottom = std::min<qint64>({qint64(m_mixedStart.size()) - 1, qint64(toY) - origin.y(),
                                            qint64(target.height()) - origin.y()});
    if (top >= bottom || m_extent.isNull())
        return;
    const std::uint32_t src = 0xff000000u | toQColor(colour).rgb();
    // Whole inside the target across (the usual case), no run needs clipping.
    const bool inside = origin.x() + m_extent.left() >= 0 && origin.x() + m_extent.right() < target.width();
    if (!store)
        under = Under::Ignore;
    auto rows = [&]<bool Clip>(const auto &mix) {
        switch (under) {
        case Under::Ignore:
            return blendRows<Clip, Under::Ignore>(target, origin, int(top), int(bottom), src, mix, store);
        case Under::Keep:
            return blendRows<Clip, Under::Keep>(target, origin, int(top), int(bottom), src, mix, store);
        case Under::Reuse:
            return blendRows<Clip, Under::Reuse>(target, origin, int(top), int(bottom), src, mix, store);
        }
    };
    auto run = [&](const auto &mix) {
        if (inside)
            rows.template operator()<false>(mix);
        else
            rows.template operator()<true>(mix);
    };
    if (m_coverage.size() >= kTablesFrom) {
        // Most shapes keep their colour from frame to frame: the tables are kept too.
        const std::uint32_t groundPixel = 0xff000000u | toQColor(ground).rgb();
        if (!m_tables)
            m_tables = std::make_unique<TableMix>();
        if (m_tables->colour != src || m_tables->ground != groundPixel) // a new one is all zero: never opaque
            m_tables->make(src, groundPixel);
        run(*m_tables);
    } else
        run(DirectMix{src});
}
