// SPDX-License-Identifier: MIT
// A shape rasterised once into rows of coverage, then put into frames in any
// colour: only the covered pixels are touched, nothing is rasterised again.
#pragma once

#include "picturebox.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

class CoverageMask
{
public:
    // Takes the coverage from an alpha image (device pixels).
    explicit CoverageMask(const QImage &alpha);
    // Rasterises what draw paints (in units, at ratio device pixels per unit) within
    // the device rectangle bounds. Drawn by the same painter calls as on a picture,
    // moved by whole device pixels, the coverage is exactly what the painter mixes.
    static std::unique_ptr<CoverageMask> rasterise(const QRect &bounds, double ratio,
                                                   const std::function<void(QPainter &)> &draw);
    ~CoverageMask();
    CoverageMask(const CoverageMask &) = delete;
    CoverageMask &operator=(const CoverageMask &) = delete;
    // How many masks exist right now (a leak shows as a growing count).
    static int liveCount();

    // What becomes of the pixels under the partly covered ones: nothing; kept in a
    // store while mixing; or taken from that store instead of the target, so that
    // the mask is put in again, in another colour, over the picture it was kept from.
    enum class Under { Ignore, Keep, Reuse };

    // Mixes colour into target (32-bit, device pixels) with the mask's top-left at
    // origin, the way the painter mixes a solid edge; parts outside are skipped, and
    // so are the target's rows outside fromY..toY - 1.
    // ground is the colour most pixels underneath have (the picture's background):
    // over it, a mixed pixel is looked up instead of computed.
    // A store for Under::Keep and Under::Reuse has storeSize() pixels.
    void blend(QImage &target, QPoint origin, Colour colour, Colour ground, int fromY = INT_MIN,
               int toY = INT_MAX, Under under = Under::Ignore, std::uint32_t *store = nullptr) const;
    std::size_t storeSize() const { return m_coverage.size(); }
    // The pixels the mask covers at all, relative to its top-left.
    QRect extent() const { return m_extent; }

private:
    // Each row holds its partly covered pixels, mixed one by one with their
    // coverage, and its fully covered stretches, filled with the colour. The two
    // never overlap, so the order between them does not matter.
    struct Solid
    {
        std::int32_t x, length;
    };
    template <bool Clip, Under U, typename Mix>
    void blendRows(QImage &target, QPoint origin, int firstRow, int endRow, std::uint32_t colour,
                   const Mix &mix, std::uint32_t *store) const;

    struct TableMix;
    // The mixing tables of the last blend, for masks with many mixed pixels.
    mutable std::unique_ptr<TableMix> m_tables;

    std::vector<std::int32_t> m_mixedX; // row by row, left to right
    std::vector<std::uint8_t> m_coverage; // of each mixed pixel
    std::vector<std::uint32_t> m_mixedStart; // each row's first mixed pixel, and the end
    std::vector<Solid> m_solids;
    std::vector<std::uint32_t> m_solidStart; // each row's first solid stretch, and the end
    QRect m_extent; // of all runs, relative to the mask's top-left
};
