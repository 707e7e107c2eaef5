// SPDX-License-Identifier: MIT
// The off-screen picture the board is drawn into: the drawing state (fore colour,
// fill colour, fill style) and the calls the renderer uses. A frame is a layer that
// stays still between moves, always drawn whole, with the moving parts over it.
#pragma once

#include <QImage> // and QRectF

#include <cstdint>
#include <memory>
#include <vector>

class Coverage;

// Colours are 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;
inline QColor toQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

class PictureBox
{
public:
    // Position and size in the window, in pixels (fractions allowed).
    void Move(double left, double top, double width, double height) { m_rect = QRectF(left, top, qMax(0.0, width), qMax(0.0, height)); }
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

    Colour ForeColor = 0, FillColor = 0;
    // 0 fills circles with FillColor; 1 leaves them hollow.
    std::int16_t FillStyle = 1;

    // Clears the whole picture to white: a new frame begins.
    void Cls() { m_shapes.clear(), m_layerEnd = 0; }
    // A one-pixel line in ForeColor.
    void Line(float x1, float y1, float x2, float y2);
    // A circle outlined in ForeColor, filled with FillColor when FillStyle is 0.
    void Circle(float x, float y, float radius);
    // What is drawn since the clear is the layer, still between moves; what follows moves
    // over it, each part of one colour.
    void endLayer() { m_layerEnd = m_shapes.size(); }
    // Mixes colour in through coverage (in device pixels), over the shapes before it.
    void Blend(std::shared_ptr<const Coverage> coverage, Colour colour);

    // The picture (device pixels, with the density set).
    const QImage &Image();
    // The device pixels that the last Image() changed: empty when it is the same picture.
    QRect changed() const { return m_changed; }

private:
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
    // Pixel centres sit at +0.5: a line or circle at whole coordinates is centred on pixels.
    static constexpr float kCentre = 0.5f;
    void add(Shape shape, const QRectF &units);

    QRectF m_rect;
    double m_ratio = 1.0;
    std::vector<Shape> m_shapes; // this frame's: the layer's, then the moving parts
    std::size_t m_layerEnd = 0;
    std::vector<Shape> m_layerShapes; // what the picture's layer was drawn from
    // A moving part on the picture: what it covers, and the pixels it keeps from under it,
    // all of them when whole, else those under its edges.
    struct Shown { Shape shape; std::shared_ptr<const Coverage> cover; std::vector<std::uint32_t> under; bool whole; };
    std::vector<Shown> m_shown; // and, past m_onPicture, stores to use again
    std::size_t m_onPicture = 0;
    QImage m_image;
    QRect m_changed;
};
