// SPDX-License-Identifier: MIT
// A drawing rasterised once into rows of coverage, then mixed into pictures in any
// colour: only the covered pixels are touched.
#pragma once

#include <QImage>
#include <QRect>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

class Coverage
{
public:
    // What draw paints in white (in units, at ratio device pixels per unit) within
    // the device rectangle bounds, as the painter would mix it into a picture.
    static std::shared_ptr<const Coverage> rasterise(const QRect &bounds, double ratio,
                                                     const std::function<void(QPainter &)> &draw);
    // Mixes colour (0xAARRGGBB, opaque) into target (32-bit, device pixels) over the
    // pixels it covers, keeping them in under first: those of its edges, and with
    // solids those it covers whole too.
    void mix(QImage &target, std::uint32_t colour, std::vector<std::uint32_t> &under, bool solids) const;
    // Mixes a new colour over the pixels kept in under: it reads none of the target.
    void remix(QImage &target, std::uint32_t colour, const std::uint32_t *under) const;
    // Puts back into target the pixels kept in under by a mix with solids.
    void restore(QImage &target, const std::uint32_t *under) const;
    // The device pixels it may cover.
    QRect bounds() const { return m_bounds; }

private:
    // Each covered row holds its partly covered pixels, mixed one by one, and its
    // fully covered stretches, filled. The two never overlap, so either may go first.
    struct Row
    {
        std::int32_t y;
        std::uint32_t mixed, solids; // where its pixels and stretches begin
    };
    struct Solid
    {
        std::int32_t x, length;
    };
    // Calls mixed(pixel, coverage) for each partly covered pixel of target and
    // solid(pixels, count) for each fully covered stretch, always in the same order.
    template <typename MixFn, typename FillFn>
    void visit(QImage &target, MixFn &&mixed, FillFn &&solid) const;

    std::vector<Row> m_rows; // and one past the last, where the last one's end
    std::vector<std::int32_t> m_mixedX;
    std::vector<std::uint8_t> m_alpha;
    std::vector<Solid> m_solids;
    QRect m_bounds;
};
