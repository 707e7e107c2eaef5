// SPDX-License-Identifier: MIT
// Text layer: a font described by character height, average character width,
// weight and face name, and a block of lines measured and drawn centred.
#pragma once

#include "picturebox.h"

#include <QFont>
#include <QFontMetricsF>
#include <QSize>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class CoverageMask;

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
    ~TextFont();
    TextFont(const TextFont &) = delete;
    TextFont &operator=(const TextFont &) = delete;
    // How many fonts exist right now (a leak shows as a growing count).
    static int liveCount();

    // A font and its metrics as one thread draws with them.
    struct Face
    {
        explicit Face(const LogFont &description);
        QFont font;
        QFontMetricsF metrics;
    };
    const QFont &font() const { return m_face.font; }
    // What the font was made from.
    const LogFont &description() const { return m_description; }
    // Size of the block of lines: the longest line by the line height times the lines.
    QSize measure(const QStringList &lines) const;
    // Draws each line centred horizontally inside rect, from its top, in colour,
    // with a transparent background; '&' is an ordinary character.
    void drawCentered(QPainter &painter, const QRect &rect, const QStringList &lines, Colour colour) const;
    // The block cut into words that can be drawn each on its own, largest first:
    // characters from..to - 1 of a line, and the device pixels (at ratio) that no
    // other word's ink reaches: the line's rows, and the columns up to the middle
    // of the spaces around it. Empty when the lines' rows do not begin on whole
    // device pixels, so that two lines would share a row.
    struct Word
    {
        qsizetype line, from, to;
        QRect pixels;
    };
    std::vector<Word> words(const QRect &rect, const QStringList &lines, double ratio) const;
    // Draws one word of the block, where it goes in the whole block.
    void drawWord(QPainter &painter, const QRect &rect, const QStringList &lines, Colour colour,
                  const Word &word) const;
    // The same drawing on another thread. Qt's fonts and texts may be used on any
    // thread but not shared between threads: this holds lines that share nothing
    // with the caller's, and makes its own font from the description where it
    // first draws. Made on the font's thread, then used on the other alone.
    class Elsewhere
    {
    public:
        Elsewhere(const TextFont &font, const QStringList &lines);
        void drawCentered(QPainter &painter, const QRect &rect, Colour colour);
        void drawWord(QPainter &painter, const QRect &rect, Colour colour, const Word &word);

    private:
        const Face &face();
        LogFont m_description;
        QStringList m_lines;
        std::optional<Face> m_face;
    };
    // The same drawing as a coverage mask, at ratio device pixels per unit, and
    // where its top-left goes (device pixels). The block is rasterised once per
    // lines, place and density, on another thread from the second frame that asks
    // for it on, so that a new text's first frames cost no more than painting it:
    // nullptr until then (paint it meanwhile). The mask lives until the next call
    // for other lines, place or density, or the font's end.
    const CoverageMask *centeredMask(const QRect &rect, const QStringList &lines, double ratio,
                                     QPoint &origin) const;
    // Test seam: false rasterises a block at once, on the caller's thread.
    static void setRasteriseInBackground(bool on);
    // Waits until the blocks being rasterised in the background are done.
    static void waitForMasks();

private:
    struct Pending;
    LogFont m_description;
    Face m_face;
    // The rasterised block, for the lines and density it was made for, or being made.
    mutable std::shared_ptr<Pending> m_pending;
    mutable std::unique_ptr<CoverageMask> m_mask;
    mutable QStringList m_maskLines;
    mutable QRect m_maskRect;
    mutable double m_maskRatio = 0;
};
