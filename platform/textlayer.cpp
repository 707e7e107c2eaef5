// SPDX-License-Identifier: MIT
// Text layer over QFont, QFontMetrics and QPainter.
#include "textlayer.h"

#include "coveragemask.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
int g_liveFonts = 0;

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

TextFont::TextFont(const LogFont &description)
    : m_description(description), m_font(makeFont(description)), m_metrics(m_font)
{
    ++g_liveFonts;
}

TextFont::~TextFont()
{
    --g_liveFonts;
}

int TextFont::liveCount()
{
    return g_liveFonts;
}

const CoverageMask &TextFont::centeredMask(const QRect &rect, const QStringList &lines, double ratio,
                                           QPoint &origin) const
{
    // Device rectangle of the block, with a margin for ink outside the glyph cells.
    const int pad = 4 + rect.height() / 8;
    const QRect bounds = QRectF(QRectF(rect).adjusted(-pad, -pad, pad, pad).topLeft() * ratio,
                                QRectF(rect).adjusted(-pad, -pad, pad, pad).size() * ratio)
                             .toAlignedRect();
    if (!m_mask || m_maskLines != lines || m_maskRect != rect || m_maskRatio != ratio) {
        // Rasterise the block once, exactly as the painter would draw it there.
        m_mask = CoverageMask::rasterise(bounds, ratio,
                                         [&](QPainter &p) { drawCentered(p, rect, lines, 0xFFFFFF); });
        m_maskLines = lines;
        m_maskRect = rect;
        m_maskRatio = ratio;
    }
    origin = bounds.topLeft();
    return *m_mask;
}

QSize TextFont::measure(const QStringList &lines) const
{
    double width = 0;
    for (const QString &line : lines)
        width = std::max(width, m_metrics.horizontalAdvance(line));
    return QSize(static_cast<int>(std::ceil(width)),
                 static_cast<int>(std::ceil(m_metrics.height())) * static_cast<int>(lines.size()));
}

void TextFont::drawCentered(QPainter &painter, const QRect &rect, const QStringList &lines, Colour colour) const
{
    painter.save();
    painter.setFont(m_font);
    painter.setPen(toQColor(colour));
    painter.setBackgroundMode(Qt::TransparentMode);
    const int lineHeight = static_cast<int>(std::ceil(m_metrics.height()));
    double y = rect.top() + m_metrics.ascent();
    for (const QString &line : lines) {
        const double x = rect.left() + (rect.width() - m_metrics.horizontalAdvance(line)) / 2.0;
        painter.drawText(QPointF(x, y), line);
        y += lineHeight;
    }
    painter.restore();
}
