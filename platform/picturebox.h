// SPDX-License-Identifier: MIT
// The off-screen picture the board is drawn into: an image with the drawing
// state (fore colour, fill colour, fill style) and calls the renderer uses.
#pragma once

#include <QImage>
#include <QRectF>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

class CoverageMask;
class QPainter;

// Colours are 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;
QColor toQColor(Colour c);

class PictureBox
{
public:
    PictureBox();
    ~PictureBox();

    // Position and size in the window, in pixels (fractions allowed).
    void Move(double left, double top, double width, double height);
    double Left() const { return m_rect.left(); }
    double Top() const { return m_rect.top(); }
    double Width() const { return m_rect.width(); }
    double Height() const { return m_rect.height(); }
    // Inner drawing size in pixels (no border, so equal to the outer size).
    float ScaleWidth() const { return static_cast<float>(m_rect.width()); }
    float ScaleHeight() const { return static_cast<float>(m_rect.height()); }

    // Device pixels per unit; the image is allocated at this density.
    void setDevicePixelRatio(double ratio);
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

    // The picture drawn so far (device pixels, with the density set).
    const QImage &Image();
    // The picture for direct pixel work (ends any painter first).
    QImage &pixels();
    // The device pixels drawn since the last call (the whole picture after a clear
    // or the painter), and starts afresh.
    QRect takeChanged();
    // Mixes colour into the picture through mask, its top-left at origin (device
    // pixels). Like the clear, this waits for the next Image(), pixels(),
    // beginPaint() or endPaint(): the mask (and store) must live until then.
    // With a store, what lies under the mask is kept there (keep), or the mask is
    // put in again over what was kept (!keep), without anything else redrawn.
    void Blend(const CoverageMask &mask, QPoint origin, Colour colour);
    void Blend(const CoverageMask &mask, QPoint origin, Colour colour, bool keep, std::vector<std::uint32_t> &store);
    // A painter on the picture, for what has no call of its own (ends before Image()).
    QPainter *beginPaint();
    void endPaint();
    // Draws pieces on two threads at once, as beginPaint()'s painter would:
    // draw(painter, k, second) paints piece k, clipped to pixels[k] (device
    // pixels), on the second thread when second. The pieces must not share a
    // pixel; each thread takes the next piece left, so the largest should come
    // first. For large drawings whose first frame must not wait for one core
    // alone. The threads may share plain data to read; a Qt object is used on
    // the second thread only if it is that thread's own.
    void paintInPieces(const std::vector<QRect> &pixels,
                       const std::function<void(QPainter &, std::size_t piece, bool second)> &draw);

    // Shapes are rasterised once and then only mixed into each frame. Test seam:
    // false draws everything through the painter every time (the same pixels).
    static void setCaching(bool on);
    static bool caching();

private:
    void ensureImage();
    // Ends the painter: what it drew is in the picture already, and what is mixed
    // in after it waits to be mixed in with the rest, band by band.
    void endPainter();
    // Draws the waiting clear and blends, a band of rows at a time, so that each
    // band is still in the cache when the shapes over it are mixed in.
    void flush();
    // The rasterised shape drawn by draw(painter) within device rect `bounds`.
    const CoverageMask &shape(const std::tuple<int, float, float, float, float> &key, const QRect &bounds,
                              const std::function<void(QPainter &)> &draw);

    QRectF m_rect;
    double m_ratio = 1.0;
    QImage m_image;
    QPainter *m_painter = nullptr;
    struct PendingBlend
    {
        const CoverageMask *mask;
        QPoint origin;
        Colour colour;
        int under; // a CoverageMask::Under
        std::uint32_t *store;
    };
    QRect m_changed;
    bool m_clearPending = false;
    Colour m_clearColour = 0;
    std::vector<PendingBlend> m_pending;
    // Rasterised lines and discs, by kind and geometry, for the current density.
    std::map<std::tuple<int, float, float, float, float>, std::unique_ptr<CoverageMask>> m_shapes;
};
