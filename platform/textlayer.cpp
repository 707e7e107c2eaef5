// SPDX-License-Identifier: MIT
// Text layer over QFont, QFontMetrics and QPainter.
#include "textlayer.h"

#include "coveragemask.h"

#include <QPainter>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {
int g_liveFonts = 0;
bool g_background = true;

// One thread rasterises text blocks, one block at a time, away from the frames.
QThreadPool &worker()
{
    static QThreadPool pool;
    static const bool one = (pool.setMaxThreadCount(1), true);
    Q_UNUSED(one);
    return pool;
}

// Each line centred horizontally inside rect, from its top, in colour, with a
// transparent background; '&' is an ordinary character. Safe on any thread: it
// touches only its own copies of the font and its metrics.
void drawBlock(QPainter &painter, const QFont &font, const QFontMetricsF &metrics, const QRect &rect,
               const QStringList &lines, Colour colour, qsizetype from = 0, qsizetype to = -1)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(toQColor(colour));
    painter.setBackgroundMode(Qt::TransparentMode);
    const int lineHeight = static_cast<int>(std::ceil(metrics.height()));
    to = to < 0 ? lines.size() : std::min(to, lines.size());
    for (qsizetype i = std::max<qsizetype>(from, 0); i < to; ++i) {
        const double x = rect.left() + (rect.width() - metrics.horizontalAdvance(lines[i])) / 2.0;
        painter.drawText(QPointF(x, rect.top() + metrics.ascent() + double(i * lineHeight)), lines[i]);
    }
    painter.restore();
}

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

// A block being rasterised on the worker thread; whoever lets go of it last ends it.
struct TextFont::Pending
{
    std::atomic<bool> wanted{true}, done{false};
    std::unique_ptr<CoverageMask> mask;
};

TextFont::TextFont(const LogFont &description)
    : m_description(description), m_font(makeFont(description)), m_metrics(m_font)
{
    ++g_liveFonts;
}

TextFont::~TextFont()
{
    if (m_pending)
        m_pending->wanted = false;
    --g_liveFonts;
}

int TextFont::liveCount()
{
    return g_liveFonts;
}

void TextFont::setRasteriseInBackground(bool on)
{
    g_background = on;
}

void TextFont::waitForMasks()
{
    worker().waitForDone();
}

const CoverageMask *TextFont::centeredMask(const QRect &rect, const QStringList &lines, double ratio,
                                           QPoint &origin) const
{
    // Device rectangle of the block, with a margin for ink outside the glyph cells.
    const int pad = 4 + rect.height() / 8;
    const QRect bounds = QRectF(QRectF(rect).adjusted(-pad, -pad, pad, pad).topLeft() * ratio,
                                QRectF(rect).adjusted(-pad, -pad, pad, pad).size() * ratio)
                             .toAlignedRect();
    origin = bounds.topLeft();
    if (m_maskLines != lines || m_maskRect != rect || m_maskRatio != ratio) {
        // A new block: nothing is started in this frame, which the text may not outlive.
        m_mask.reset();
        if (m_pending)
            m_pending->wanted = false; // for a block nobody waits for any more
        m_pending.reset();
        m_maskLines = lines;
        m_maskRect = rect;
        m_maskRatio = ratio;
        if (g_background)
            return nullptr;
    }
    if (!m_mask && !m_pending) {
        // Rasterised exactly as the painter draws the block there.
        m_pending = std::make_shared<Pending>();
        auto job = [pending = m_pending, bounds, ratio, font = m_font, metrics = m_metrics, rect, lines] {
            if (pending->wanted)
                pending->mask = CoverageMask::rasterise(
                    bounds, ratio, [&](QPainter &p) { drawBlock(p, font, metrics, rect, lines, 0xFFFFFF); });
            pending->done = true;
        };
        if (g_background)
            worker().start(job);
        else
            job();
    }
    if (m_pending && m_pending->done) {
        m_mask = std::move(m_pending->mask);
        m_pending.reset();
    }
    return m_mask.get();
}

QSize TextFont::measure(const QStringList &lines) const
{
    double width = 0;
    for (const QString &line : lines)
        width = std::max(width, m_metrics.horizontalAdvance(line));
    return QSize(static_cast<int>(std::ceil(width)),
                 static_cast<int>(std::ceil(m_metrics.height())) * static_cast<int>(lines.size()));
}

void TextFont::drawCentered(QPainter &painter, const QRect &rect, const QStringList &lines, Colour colour,
                            qsizetype from, qsizetype to) const
{
    drawBlock(painter, m_font, m_metrics, rect, lines, colour, from, to);
}

int TextFont::lineHeight() const
{
    return static_cast<int>(std::ceil(m_metrics.height()));
}

qsizetype TextFont::halfway(const QStringList &lines)
{
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size();
    // The first line that ends past the middle goes to whichever half it evens out more.
    qsizetype before = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype after = before + lines[i].size();
        if (2 * after >= total)
            return 2 * after - total <= total - 2 * before ? i + 1 : i;
        before = after;
    }
    return lines.size();
}
