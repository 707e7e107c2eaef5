// SPDX-License-Identifier: MIT
// A shape rasterised once into rows of coverage, then put into frames in any
// colour: only the covered pixels are touched, nothing is rasterised again.
#pragma once

#include "picturebox.h"

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <vector>

class CoverageMask
{
public:
    // Takes the coverage from an alpha image (device pixels).
    explicit CoverageMask(const QImage &alpha);
    ~CoverageMask();
    CoverageMask(const CoverageMask &) = delete;
    CoverageMask &operator=(const CoverageMask &) = delete;
    // How many masks exist right now (a leak shows as a growing count).
    static int liveCount();

    QSize size() const { return m_size; }
    // Mixes colour into target (32-bit, device pixels) with the mask's top-left at
    // origin, the way the painter mixes a solid edge; parts outside are skipped.
    void blend(QImage &target, QPoint origin, Colour colour) const;

private:
    // The covered stretch of one row: from its first to its last covered pixel.
    struct Run
    {
        std::int32_t y, x, length;
        std::uint32_t offset; // of its coverage in m_coverage
    };
    QSize m_size;
    std::vector<Run> m_runs;
    std::vector<std::uint8_t> m_coverage;
};
