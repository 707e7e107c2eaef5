// SPDX-License-Identifier: MIT
// Coverage mask: rows of coverage and their mixing into a frame.
#include "coveragemask.h"

#include <QPainter>

#include <algorithm>

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

CoverageMask::CoverageMask(const QImage &alpha) : m_size(alpha.size())
{
    ++g_liveMasks;
    const QImage a = alpha.format() == QImage::Format_Alpha8 ? alpha : alpha.convertToFormat(QImage::Format_Alpha8);
    for (int y = 0; y < a.height(); ++y) {
        const std::uint8_t *row = a.constScanLine(y);
        int x = 0;
        while (x < a.width()) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            // One run per covered stretch; short gaps stay inside it, a pixel of
            // coverage 0 costs less than starting a new run.
            const int start = x;
            int end = x;
            int gap = 0;
            for (; x < a.width() && gap < 8; ++x) {
                if (row[x] != 0) {
                    end = x + 1;
                    gap = 0;
                } else {
                    ++gap;
                }
            }
            m_runs.push_back({y, start, end - start, static_cast<std::uint32_t>(m_coverage.size())});
            m_coverage.insert(m_coverage.end(), row + start, row + end);
            x = end;
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
        auto *line = reinterpret_cast<std::uint32_t *>(bits + y * stride);
        const std::uint8_t *cov = m_coverage.data() + r.offset + (x0 - origin.x() - r.x);
        for (int x = x0; x < x1; ++x, ++cov) {
            const std::uint32_t a = *cov;
            if (a == 255)
                line[x] = src;
            else if (a != 0) // the colour over the pixel, as the raster engine mixes an edge
                line[x] = (byteMul(src, a) + byteMul(line[x], 255u - a)) | 0xff000000u;
        }
    }
}
