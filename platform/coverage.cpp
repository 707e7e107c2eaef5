// SPDX-License-Identifier: MIT
// Coverage: runs of covered pixels, and their mixing into a picture.
#include "coverage.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cstring>

namespace {
// Runs of full coverage at least this long are filled rather than mixed.
constexpr int kSolidRun = 8;

// x * a / 255 per channel, rounded, as the raster engine mixes a solid edge.
inline std::uint32_t byteMul(std::uint32_t x, std::uint32_t a)
{
    std::uint32_t t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}

// A colour mixed over a pixel at each coverage, as the raster engine mixes a solid edge.
struct Mixer
{
    explicit Mixer(std::uint32_t c)
    {
        for (std::uint32_t a = 0; a < 256; ++a) {
            share[a] = byteMul(c, a);
            overWhite[a] = (share[a] + byteMul(0xffffffffu, 255 - a)) | 0xff000000u; // most pixels lie on white
        }
    }
    std::uint32_t over(std::uint32_t below, std::uint32_t a) const
    {
        return below == 0xffffffffu ? overWhite[a] : (share[a] + byteMul(below, 255 - a)) | 0xff000000u;
    }
    std::array<std::uint32_t, 256> share, overWhite;
};
} // namespace

std::shared_ptr<const Coverage> Coverage::rasterise(const QRect &bounds, double ratio,
                                                    const std::function<void(QPainter &)> &draw)
{
    // Painted on a 32-bit picture, the painter's fastest, and read from its alpha.
    // The picture is kept for the next one, and left clear by the reading: a new
    // text then needs no fresh memory and no clearing.
    static QImage scratch;
    if (scratch.width() < bounds.width() || scratch.height() < bounds.height()) {
        scratch = QImage(bounds.size().expandedTo(scratch.size()), QImage::Format_ARGB32_Premultiplied);
        scratch.fill(0);
    }
    QImage image(scratch.bits(), bounds.width(), bounds.height(), scratch.bytesPerLine(), scratch.format());
    if (!image.isNull()) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(-bounds.left(), -bounds.top());
        p.scale(ratio, ratio);
        draw(p);
    }
    auto coverage = std::make_shared<Coverage>();
    Coverage &c = *coverage;
    c.m_bounds = bounds;
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<std::uint32_t *>(image.scanLine(y));
        const Row start{bounds.top() + y, std::uint32_t(c.m_mixedX.size()), std::uint32_t(c.m_solids.size())};
        for (int x = 0; x < width;) {
            // Most of a block of text is uncovered: passed over four pixels at a time.
            for (std::uint64_t a, b; x + 4 <= width; x += 4) {
                std::memcpy(&a, row + x, 8);
                std::memcpy(&b, row + x + 2, 8);
                if (a | b)
                    break;
            }
            if (x >= width)
                break;
            int end = x + 1;
            while (row[x] >> 24 == 255 && end < width && row[end] >> 24 == 255)
                ++end;
            if (end - x >= kSolidRun) {
                c.m_solids.push_back({bounds.left() + x, end - x});
                std::fill(row + x, row + end, 0);
                x = end;
            }
            for (; x < end; ++x)
                if (row[x] != 0) {
                    c.m_mixedX.push_back(bounds.left() + x);
                    c.m_alpha.push_back(static_cast<std::uint8_t>(row[x] >> 24));
                    row[x] = 0;
                }
        }
        if (start.mixed != c.m_mixedX.size() || start.solids != c.m_solids.size())
            c.m_rows.push_back(start);
    }
    c.m_rows.push_back({bounds.bottom() + 1, std::uint32_t(c.m_mixedX.size()), std::uint32_t(c.m_solids.size())});
    return coverage;
}

template <typename MixFn, typename FillFn>
void Coverage::visit(QImage &target, MixFn &&mixed, FillFn &&solid) const
{
    const QRect clip = m_bounds & target.rect();
    if (clip.isEmpty() || m_rows.size() < 2)
        return;
    uchar *bits = target.bits();
    const bool inside = clip.left() == m_bounds.left() && clip.right() == m_bounds.right(); // the usual case
    auto row = std::lower_bound(m_rows.begin(), m_rows.end() - 1, clip.top(), [](const Row &r, int y) { return r.y < y; });
    for (; row + 1 < m_rows.end() && row->y <= clip.bottom(); ++row) {
        auto *line = reinterpret_cast<std::uint32_t *>(bits + row->y * target.bytesPerLine());
        for (std::uint32_t i = row->mixed; i < row[1].mixed; ++i)
            if (const int x = m_mixedX[i]; inside || (x >= clip.left() && x <= clip.right()))
                mixed(line[x], m_alpha[i]);
        for (std::uint32_t i = row->solids; i < row[1].solids; ++i) {
            const int from = std::max(m_solids[i].x, clip.left());
            const int to = std::min(m_solids[i].x + m_solids[i].length, clip.right() + 1);
            if (to > from)
                solid(line + from, static_cast<std::size_t>(to - from));
        }
    }
}

void Coverage::mix(QImage &target, std::uint32_t colour, std::vector<std::uint32_t> &under, bool solids) const
{
    std::size_t pixels = m_mixedX.size();
    for (std::size_t i = 0; solids && i < m_solids.size(); ++i)
        pixels += static_cast<std::size_t>(m_solids[i].length);
    under.resize(pixels); // mostly within what it held before: no fresh memory each frame
    // The edges' pixels first, all together for the colour steps, then the solids'.
    std::uint32_t *kept = under.data(), *keptSolid = kept + m_mixedX.size();
    const Mixer mixer(colour);
    visit(
        target, [&](std::uint32_t &pixel, std::uint32_t a) { pixel = mixer.over(*kept++ = pixel, a); },
        [&](std::uint32_t *line, std::size_t n) {
            if (solids)
                keptSolid = std::copy_n(line, n, keptSolid);
            std::fill_n(line, n, colour);
        });
}

void Coverage::remix(QImage &target, std::uint32_t colour, const std::uint32_t *kept) const
{
    const Mixer mixer(colour);
    visit(target, [&](std::uint32_t &pixel, std::uint32_t a) { pixel = mixer.over(*kept++, a); },
          [&](std::uint32_t *line, std::size_t n) { std::fill_n(line, n, colour); });
}

void Coverage::restore(QImage &target, const std::uint32_t *kept) const
{
    const std::uint32_t *keptSolid = kept + m_mixedX.size();
    visit(target, [&](std::uint32_t &pixel, std::uint32_t) { pixel = *kept++; },
          [&](std::uint32_t *line, std::size_t n) { std::copy_n(keptSolid, n, line), keptSolid += n; });
}
