// SPDX-License-Identifier: MIT
// Text layer: a font described by character height, average character width,
// weight and face name, and a block of lines measured and drawn centred.
#pragma once

#include "picturebox.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <tuple>

class Coverage;
class QPainter;

// What a font is made from. A negative height asks for that character height in
// pixels; width is the average character width (0 lets the face choose).
struct LogFont
{
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t weight = 400;
    std::array<char, 32> faceName{};
};

class TextFont
{
public:
    explicit TextFont(const LogFont &description);

    // Size of the block of lines: the longest line by the line height times the lines.
    QSize measure(const QStringList &lines) const;
    // Draws each line centred horizontally inside rect, from its top, in colour, with a
    // transparent background ('&' an ordinary character); painter keeps font and pen.
    void drawCentered(QPainter &painter, const QRect &rect, const QStringList &lines, Colour colour) const;
    // The same block as coverage at ratio device pixels per unit. Rasterised once
    // per lines, place and density; a frame that only recolours the text mixes it in again.
    std::shared_ptr<const Coverage> coverage(const QRect &rect, const QStringList &lines, double ratio);

private:
    int lineHeight() const;
    // Where line i of the block begins, on its baseline.
    QPointF baseline(const QRect &rect, const QStringList &lines, qsizetype i) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    // The block as rasterised last, and what for.
    std::shared_ptr<const Coverage> m_coverage;
    std::tuple<QStringList, QRect, double> m_coverageOf;
};
