// SPDX-License-Identifier: MIT
// Text layer over QFont, QFontMetrics and QPainter.
#include "textlayer.h"

#include "coverage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
QFont makeFont(const LogFont &d)
{
    const QString face = QString::fromLatin1(d.faceName.data(),
                                             static_cast<int>(strnlen(d.faceName.data(), d.faceName.size())));
    QFont font(face);
    font.setStyleHint(QFont::TypeWriter); // a fixed-pitch face when the name is unknown
    font.setFixedPitch(true);
    font.setWeight(QFont::Weight(std::clamp(d.weight / 10 * 10, 100, 900)));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::NoSubpixelAntialias); // one coverage for all three colours
    // Character height in pixels; a positive height is the cell height, close enough here.
    const int pixels = std::clamp(std::abs(d.height), 1, 16384);
    font.setPixelSize(pixels);
    if (d.width > 0) {
        // Qt has no average width of its own: stretch the glyphs until it comes out as asked.
        const double natural = QFontMetricsF(font).averageCharWidth();
        if (natural > 0)
            font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * d.width / natural)), 1, 4000));
    }
    return font;
}
} // namespace

TextFont::TextFont(const LogFont &d) : m_font(makeFont(d)), m_metrics(m_font) {}

// A block's lines are whole pixels apart, so that each begins on a row.
int TextFont::lineHeight() const
{
    return static_cast<int>(std::ceil(m_metrics.height()));
}

QPointF TextFont::baseline(const QRect &rect, const QStringList &lines, qsizetype i) const
{
    return QPointF(rect.left() + (rect.width() - m_metrics.horizontalAdvance(lines[i])) / 2.0,
                   rect.top() + m_metrics.ascent() + double(i * lineHeight()));
}

QSize TextFont::measure(const QStringList &lines) const
{
    double width = 0;
    for (const QString &line : lines)
        width = std::max(width, m_metrics.horizontalAdvance(line));
    return QSize(static_cast<int>(std::ceil(width)), lineHeight() * static_cast<int>(lines.size()));
}

void TextFont::drawCentered(QPainter &painter, const QRect &rect, const QStringList &lines, Colour colour) const
{
    painter.setFont(m_font);
    painter.setPen(toQColor(colour));
    painter.setBackgroundMode(Qt::TransparentMode);
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(baseline(rect, lines, i), lines[i]);
}

std::shared_ptr<const Coverage> TextFont::coverage(const QRect &rect, const QStringList &lines, double ratio)
{
    if (!m_coverage || m_coverageOf != std::tuple(lines, rect, ratio)) {
        // Only the glyphs' ink is rasterised, with a pixel to spare for their smoothing.
        QRectF ink;
        for (qsizetype i = 0; i < lines.size(); ++i)
            ink |= m_metrics.tightBoundingRect(lines[i]).translated(baseline(rect, lines, i));
        const QRect device = QRectF(ink.topLeft() * ratio, ink.size() * ratio).toAlignedRect().adjusted(-2, -2, 2, 2);
        m_coverage = Coverage::rasterise(device, ratio, [&](QPainter &p) { drawCentered(p, rect, lines, 0xFFFFFF); });
        m_coverageOf = {lines, rect, ratio};
    }
    return m_coverage;
}
