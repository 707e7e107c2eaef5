// SPDX-License-Identifier: MIT
// A shape rasterised once into rows of coverage, then put into frames in any
// colour: only the covered pixels are touched, nothing is rasterised again.
#pragma once

#include "picturebox.h"

#include <QImage>
#include <QPoint>

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

    // Mixes colour into target (32-bit, device pixels) with the mask's top-left at
    // origin, the way the painter mixes a solid edge; parts outside are skipped.
    void blend(QImage &target, QPoint origin, Colour colour) const;

private:
    // A stretch of one row: fully covered (solid, filled with the colour), or
    // partly covered pixels mixed one by one with their coverage.
    struct Run
    {
        std::int32_t y, x, length;
        std::uint32_t offset; // of its coverage in m_coverage; unused when solid
        bool solid;
    };
    std::vector<Run> m_runs;
    std::vector<std::uint8_t> m_coverage;
};
