// SPDX-License-Identifier: MIT
// Coverage: runs of covered pixels, and their mixing into a picture.
#include "coverage.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cstring>

namespace {
// x * a / 255 per channel, rounded, as the raster engine mixes a solid edge.
inline std::uint32_t byteMul(std::uint32_t x, std::uint32_t a)
{
    std::uint32_t t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}
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
        for (int x = 0; x < width;) {
            // Most of a block of text is uncovered: passed over four pixels at a time.
            for (std::uint64_t a, b; x + 4 <= width; x += 4) {
                std::memcpy(&a, row + x, 8);
                std::memcpy(&b, row + x + 2, 8);
                if (a | b)
                    break;
            }
            for (; x < width && row[x] == 0; ++x) {
            }
            Run run{bounds.top() + y, bounds.left() + x, 0, static_cast<std::uint32_t>(c.m_alpha.size())};
            for (; x < width && row[x] != 0; ++x, ++run.length) {
                c.m_alpha.push_back(static_cast<std::uint8_t>(row[x] >> 24));
                row[x] = 0;
            }
            if (run.length > 0)
                c.m_runs.push_back(run);
        }
    }
    c.m_pixels = c.m_alpha.size();
    return coverage;
}

std::shared_ptr<const Coverage> Coverage::whole(const QRect &rect)
{
    auto coverage = std::make_shared<Coverage>();
    coverage->m_bounds = rect;
    coverage->m_pixels = static_cast<std::size_t>(std::max(0, rect.width()) * std::max(0, rect.height()));
    coverage->m_alpha.assign(coverage->m_pixels, 255);
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        coverage->m_runs.push_back({y, rect.left(), rect.width(), static_cast<std::uint32_t>((y - rect.top()) * rect.width())});
    return coverage;
}

template <typename F>
void Coverage::visit(QImage &target, F &&f) const
{
    const QRect clip = m_bounds & target.rect();
    for (const Run &run : m_runs) {
        const int from = std::max(run.x, clip.left()), to = std::min(run.x + run.length, clip.right() + 1);
        if (run.y >= clip.top() && run.y <= clip.bottom() && to > from)
            f(reinterpret_cast<std::uint32_t *>(target.scanLine(run.y)) + from, m_alpha.data() + run.alpha + (from - run.x),
              static_cast<std::size_t>(to - from));
    }
}

std::unique_ptr<std::uint32_t[]> Coverage::keep(QImage &target) const
{
    auto under = std::make_unique_for_overwrite<std::uint32_t[]>(m_pixels);
    std::uint32_t *kept = under.get();
    visit(target, [&](const std::uint32_t *pixels, const std::uint8_t *, std::size_t n) {
        std::memcpy(kept, pixels, n * 4);
        kept += n;
    });
    return under;
}

void Coverage::mix(QImage &target, std::uint32_t colour, const std::uint32_t *kept) const
{
    // The colour's share at each coverage, and the whole mix over the white most pixels lie on.
    std::array<std::uint32_t, 256> share, overWhite;
    for (std::uint32_t a = 0; a < 256; ++a) {
        share[a] = byteMul(colour, a);
        overWhite[a] = (share[a] + byteMul(0xffffffffu, 255 - a)) | 0xff000000u;
    }
    visit(target, [&](std::uint32_t *pixels, const std::uint8_t *alpha, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t a = alpha[i], below = kept[i];
            pixels[i] = a == 255 ? colour : below == 0xffffffffu ? overWhite[a] : (share[a] + byteMul(below, 255 - a)) | 0xff000000u;
        }
        kept += n;
    });
}

void Coverage::restore(QImage &target, const std::uint32_t *kept) const
{
    visit(target, [&](std::uint32_t *pixels, const std::uint8_t *, std::size_t n) {
        std::memcpy(pixels, kept, n * 4);
        kept += n;
    });
}
