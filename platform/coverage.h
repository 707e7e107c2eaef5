// SPDX-License-Identifier: MIT
// A drawing rasterised once into runs of covered pixels, then mixed into pictures
// in any colour: only the covered pixels are touched.
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
    // Every pixel of rect, fully covered.
    static std::shared_ptr<const Coverage> whole(const QRect &rect);
    // The pixels of target (32-bit, device pixels) it covers, kept.
    std::unique_ptr<std::uint32_t[]> keep(QImage &target) const;
    // Mixes colour (0xAARRGGBB, opaque) into target over the pixels it covers, as they
    // were kept in under: a new colour reads none of the target.
    void mix(QImage &target, std::uint32_t colour, const std::uint32_t *under) const;
    // Puts back into target the pixels kept in under.
    void restore(QImage &target, const std::uint32_t *under) const;
    // The device pixels it may cover.
    QRect bounds() const { return m_bounds; }

private:
    // A run of covered pixels on one row; its coverage begins at alpha in m_alpha.
    struct Run
    {
        std::int32_t y, x, length;
        std::uint32_t alpha;
    };
    // Calls f(pixels, coverage, count) for each run, cut to target, always in the same order.
    template <typename F>
    void visit(QImage &target, F &&f) const;

    std::vector<Run> m_runs; // row by row
    std::vector<std::uint8_t> m_alpha;
    std::size_t m_pixels = 0;
    QRect m_bounds;
};
