// SPDX-License-Identifier: MIT
// Text layer over QFont, QFontMetrics and QPainter.
#include "textlayer.h"

#include "coveragemask.h"
#include "handover.h"

#include <QPainter>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>

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

// A block's lines are this far apart: whole pixels, so each begins on a row.
int lineHeight(const QFontMetricsF &metrics)
{
    return static_cast<int>(std::ceil(metrics.height()));
}

// Where a line of the block begins: centred horizontally inside rect.
double lineLeft(const QFontMetricsF &metrics, const QRect &rect, const QString &line)
{
    return rect.left() + (rect.width() - metrics.horizontalAdvance(line)) / 2.0;
}

// Characters from..to - 1 of line i of a block, where they go in the whole
// block: the line centred horizontally inside rect, from the block's top.
void drawLine(QPainter &painter, const QFontMetricsF &metrics, const QRect &rect, const QString &line, qsizetype i,
              qsizetype from, qsizetype to)
{
    const double x = lineLeft(metrics, rect, line);
    const double y = rect.top() + metrics.ascent() + double(i * lineHeight(metrics));
    if (from == 0 && to == line.size())
        painter.drawText(QPointF(x, y), line);
    else
        painter.drawText(QPointF(x + metrics.horizontalAdvance(line.left(from)), y), line.mid(from, to - from));
}

// Each line centred horizontally inside rect, from its top, in colour, with a
// transparent background; '&' is an ordinary character. With a word, only that.
void drawBlock(QPainter &painter, const TextFont::Face &face, const QRect &rect, const QStringList &lines,
               Colour colour, const TextFont::Word *word = nullptr)
{
    const QFontMetricsF &metrics = face.metrics;
    painter.save();
    painter.setFont(face.font);
    painter.setPen(toQColor(colour));
    painter.setBackgroundMode(Qt::TransparentMode);
    if (word)
        drawLine(painter, metrics, rect, lines[word->line], word->line, word->from, word->to);
    else
        for (qsizetype i = 0; i < lines.size(); ++i)
            drawLine(painter, metrics, rect, lines[i], i, 0, lines[i].size());
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

TextFont::Face::Face(const LogFont &description) : font(makeFont(description)), metrics(font) {}

TextFont::TextFont(const LogFont &description) : m_description(description), m_face(description)
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
        auto job = [pending = m_pending, bounds, ratio, rect, block = Elsewhere(*this, lines)]() mutable {
            TakeOver(&worker());
            if (pending->wanted)
                pending->mask = CoverageMask::rasterise(
                    bounds, ratio, [&](QPainter &p) { block.drawCentered(p, rect, 0xFFFFFF); });
            pending->done = true;
        };
        if (g_background) {
            std::function<void()> task = std::move(job); // moved: no copy stays here
            HandOver(&worker());
            worker().start(std::move(task));
        } else {
            job();
        }
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
        width = std::max(width, m_face.metrics.horizontalAdvance(line));
    return QSize(static_cast<int>(std::ceil(width)), lineHeight(m_face.metrics) * static_cast<int>(lines.size()));
}

void TextFont::drawCentered(QPainter &painter, const QRect &rect, const QStringList &lines, Colour colour) const
{
    drawBlock(painter, m_face, rect, lines, colour);
}

void TextFont::drawWord(QPainter &painter, const QRect &rect, const QStringList &lines, Colour colour,
                        const Word &word) const
{
    drawBlock(painter, m_face, rect, lines, colour, &word);
}

TextFont::Elsewhere::Elsewhere(const TextFont &font, const QStringList &lines) : m_description(font.m_description)
{
    for (const QString &line : lines)
        m_lines << QString(line.constData(), line.size()); // a deep copy
}

const TextFont::Face &TextFont::Elsewhere::face()
{
    if (!m_face)
        m_face.emplace(m_description);
    return *m_face;
}

void TextFont::Elsewhere::drawCentered(QPainter &painter, const QRect &rect, Colour colour)
{
    drawBlock(painter, face(), rect, m_lines, colour);
}

void TextFont::Elsewhere::drawWord(QPainter &painter, const QRect &rect, Colour colour, const Word &word)
{
    drawBlock(painter, face(), rect, m_lines, colour, &word);
}

std::vector<TextFont::Word> TextFont::words(const QRect &rect, const QStringList &lines, double ratio) const
{
    std::vector<Word> words;
    const int height = lineHeight(m_face.metrics);
    const double space = m_face.metrics.horizontalAdvance(QLatin1Char(' '));
    constexpr int far = 1 << 24; // past any picture
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const double top = (rect.top() + double(i * height)) * ratio;
        if (top != std::round(top))
            return {};
        const int bottom = i + 1 < lines.size() ? int((rect.top() + double((i + 1) * height)) * ratio) : far;
        const QString &line = lines[i];
        const double x = lineLeft(m_face.metrics, rect, line);
        // A glyph's ink may reach past its own cell, but not halfway across a space.
        int left = -far;
        for (qsizetype from = 0, to = 0; from < line.size();) {
            while (to < line.size() && line[to] != QLatin1Char(' '))
                ++to;
            qsizetype next = to;
            while (next < line.size() && line[next] == QLatin1Char(' '))
                ++next;
            if (next < line.size() && space * ratio < 4) {
                to = next; // too narrow a space to cut at: the next word joins this one
                continue;
            }
            int right = far;
            if (next < line.size()) {
                const double gap = m_face.metrics.horizontalAdvance(line.left(to));
                const double gapEnd = m_face.metrics.horizontalAdvance(line.left(next));
                right = static_cast<int>(std::lround((x + (gap + gapEnd) / 2) * ratio));
            }
            if (to > from)
                words.push_back(
                    {i, from, to, QRect(QPoint(left, i == 0 ? -far : int(top)), QPoint(right - 1, bottom - 1))});
            left = right;
            from = to = next;
        }
    }
    std::stable_sort(words.begin(), words.end(),
                     [](const Word &a, const Word &b) { return a.to - a.from > b.to - b.from; });
    return words;
}
