// SPDX-License-Identifier: MIT
// The off-screen picture the board is drawn into: the drawing state (fore colour,
// fill colour, fill style) and the calls the renderer uses. The calls since the
// last clear are kept as a list of shapes, the picture's draw state; reading the
// picture draws again only where that list differs from the one drawn before.
#pragma once

#include <QImage>
#include <QRectF>
#include <QRegion>

#include <cstdint>
#include <memory>
#include <vector>

class Coverage;
class QPainter;

// Colours are 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;
QColor toQColor(Colour c);

class PictureBox
{
public:
    // Position and size in the window, in pixels (fractions allowed).
    void Move(double left, double top, double width, double height);
    double Left() const { return m_rect.left(); }
    double Top() const { return m_rect.top(); }
    double Width() const { return m_rect.width(); }
    double Height() const { return m_rect.height(); }
    // Inner drawing size in pixels (no border, so equal to the outer size).
    float ScaleWidth() const { return static_cast<float>(m_rect.width()); }
    float ScaleHeight() const { return static_cast<float>(m_rect.height()); }

    // Device pixels per unit; the picture is made at this density.
    void setDevicePixelRatio(double ratio) { m_ratio = ratio > 0 ? ratio : 1.0; }
    double devicePixelRatio() const { return m_ratio; }

    Colour ForeColor = 0;
    Colour FillColor = 0;
    // 0 fills circles with FillColor; 1 leaves them hollow.
    std::int16_t FillStyle = 1;
    Colour BackColor = 0xFFFFFF;

    // Clears the whole picture to BackColor.
    void Cls();
    // A one-pixel line in ForeColor.
    void Line(float x1, float y1, float x2, float y2);
    // A circle outlined in ForeColor, filled with FillColor when FillStyle is 0.
    void Circle(float x, float y, float radius);
    // Mixes colour in through coverage (in device pixels), over the other shapes
    // (texts are not mixed over each other).
    void Blend(std::shared_ptr<const Coverage> coverage, Colour colour);

    // The picture (device pixels, with the density set), drawn again where its
    // shapes differ from those of the last call.
    const QImage &Image();
    // The device pixels that the last Image() changed: empty when it is the same picture.
    const QRegion &changed() const { return m_changed; }
    // The next Image() draws the whole picture, as for a new one.
    void invalidate() { m_drawn.clear(); m_boardDrawn.clear(); m_whole = true; }

    // What the picture is drawn from.
    struct Shape
    {
        enum Kind : std::uint8_t { Line, Circle, Blend } kind;
        float x1, y1, x2, y2; // a line's ends; a circle's centre and radius
        Colour fore, fill;
        std::int16_t style;
        std::shared_ptr<const Coverage> coverage;
        QRect bounds; // the device pixels it may touch
        bool operator==(const Shape &o) const = default;
    };

private:
    void add(Shape shape, const QRectF &units);
    // Draws image anew inside region (device pixels): the background, then the board's shapes.
    void drawBoard(QImage &image, const QRegion &region, const std::vector<const Shape *> &board) const;
    // One shape; whole when the whole picture is drawn.
    void drawShape(QPainter &painter, const Shape &shape, bool whole) const;

    QRectF m_rect;
    double m_ratio = 1.0;
    QImage m_image;
    // The board alone, without the texts over it, while there are texts.
    QImage m_board;
    Colour m_clearColour = 0xFFFFFF;
    std::vector<Shape> m_shapes;     // since the last clear
    std::vector<Shape> m_drawn;      // as the picture holds them
    std::vector<Shape> m_boardDrawn; // as the board holds them
    // The board's pixels under the first text's partly covered ones, and that text.
    std::vector<std::uint32_t> m_underText;
    std::shared_ptr<const Coverage> m_underOf;
    bool m_whole = true;
    QRegion m_changed;
};
