// SPDX-License-Identifier: MIT
// Picture box over QImage + QPainter. The layer is drawn whole into an image of
// its own whenever its shapes change. The picture is the layer with the moving
// parts over it: where they change, it is put back from the layer and they are
// drawn again over it, each line or circle whole.
#include "picturebox.h"

#include "coverage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Pixel centres sit at +0.5: a line or circle at whole coordinates is centred on pixels.
constexpr float kCentre = 0.5f;
} // namespace

QColor toQColor(Colour c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void PictureBox::Move(double left, double top, double width, double height)
{
    m_rect = QRectF(left, top, std::max(0.0, width), std::max(0.0, height));
}

void PictureBox::Cls()
{
    m_shapes.clear();
    m_layerEnd = 0;
}

void PictureBox::add(Shape shape, const QRectF &units)
{
    // Where it may draw, with a pixel to spare for the edge's smoothing.
    const QRectF device(units.topLeft() * m_ratio, units.size() * m_ratio);
    if (!std::isfinite(device.left() + device.top() + device.right() + device.bottom()))
        return; // nowhere on the picture
    constexpr double far = 1 << 24; // beyond any picture, and still a whole number of pixels
    shape.bounds = device.adjusted(-2, -2, 2, 2).intersected(QRectF(-far, -far, 2 * far, 2 * far)).toAlignedRect();
    m_shapes.push_back(std::move(shape));
}

void PictureBox::Line(float x1, float y1, float x2, float y2)
{
    add({Shape::Line, x1, y1, x2, y2, ForeColor, 0, 0, {}, {}},
        QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized().adjusted(0, 0, 1, 1));
}

void PictureBox::Circle(float x, float y, float radius)
{
    const float r = std::abs(radius) + 1;
    add({Shape::Circle, x, y, radius, 0, ForeColor, FillColor, FillStyle, {}, {}},
        QRectF(x + kCentre - r, y + kCentre - r, 2 * r, 2 * r));
}

void PictureBox::Blend(std::shared_ptr<const Coverage> coverage, Colour colour)
{
    if (coverage)
        m_shapes.push_back({Shape::Blend, 0, 0, 0, 0, colour, 0, 0, coverage, coverage->bounds()});
}

const QImage &PictureBox::Image()
{
    const QSize pixels(static_cast<int>(std::ceil(m_rect.width() * m_ratio)),
                       static_cast<int>(std::ceil(m_rect.height() * m_ratio)));
    const QRect all(QPoint(0, 0), pixels);
    const auto split = m_shapes.begin() + static_cast<std::ptrdiff_t>(m_layerEnd);
    const std::vector<Shape> parts(split, m_shapes.end());
    QRect dirty, recoloured;
    if (m_layer.size() != pixels || m_layer.devicePixelRatio() != m_ratio ||
        !std::equal(m_shapes.begin(), split, m_layerShapes.begin(), m_layerShapes.end())) {
        // A picture of its own is drawn into again; one that shares the layer lets go of it first.
        const bool own = !parts.empty() && m_image.size() == pixels && m_image.isDetached();
        if (!own)
            m_image = QImage();
        if (m_layer.size() != pixels)
            m_layer = QImage(pixels, QImage::Format_RGB32); // opaque: copied to the screen without blending
        m_layer.setDevicePixelRatio(m_ratio);
        m_layer.fill(Qt::white);
        m_layerShapes.assign(m_shapes.begin(), split);
        paint(m_layer, m_layerShapes, all);
        m_partsShown.clear();
        own ? m_image.setDevicePixelRatio(m_ratio) : void(m_image = m_layer);
        dirty = all;
    }
    const auto overRing = [&](const Shape &t) {
        return std::any_of(parts.begin(), parts.end(),
                           [&](const Shape &s) { return s.kind != Shape::Blend && s.bounds.intersects(t.bounds); });
    };
    // The parts that changed, where they were and are; a text in a new colour alone is mixed again in place.
    for (std::size_t i = 0; i < std::max(parts.size(), m_partsShown.size()); ++i) {
        const Shape *now = i < parts.size() ? &parts[i] : nullptr;
        const Shape *was = i < m_partsShown.size() ? &m_partsShown[i] : nullptr;
        if (now && was && now->coverage && now->coverage == was->coverage && now->fore != was->fore)
            (overRing(*now) ? dirty : recoloured) |= now->bounds;
        else if (!now || !was || !(*now == *was))
            dirty |= (now ? now->bounds : QRect()) | (was ? was->bounds : QRect());
    }
    // A line or circle that meets what is drawn again is drawn again whole.
    for (bool grown = true; grown;) {
        grown = false;
        for (const Shape &s : parts)
            if (s.kind != Shape::Blend && s.bounds.intersects(dirty) && !dirty.contains(s.bounds & all))
                dirty |= s.bounds & all, grown = true;
    }
    dirty &= all;
    m_changed = (dirty | recoloured) & all;
    m_partsShown = parts;
    if (m_changed.isEmpty())
        return m_image; // the same picture: not even touched
    if (parts.empty())
        return m_image = m_layer;
    if (m_image.isDetached()) // else it is the layer alone
        for (int y = dirty.top(); y <= dirty.bottom(); ++y)
            std::memcpy(m_image.scanLine(y) + dirty.left() * 4, m_layer.constScanLine(y) + dirty.left() * 4,
                        static_cast<std::size_t>(dirty.width()) * 4);
    paint(m_image, parts, dirty);
    // Over the layer alone, a text is mixed from the layer's pixels; over a ring, from the picture's.
    for (const Shape &t : parts)
        if (t.kind == Shape::Blend)
            t.coverage->mix(m_image, overRing(t) ? m_image : m_layer, t.bounds.intersects(recoloured) ? t.bounds : dirty,
                            toQColor(t.fore).rgb());
    return m_image;
}

void PictureBox::paint(QImage &image, const std::vector<Shape> &shapes, const QRect &within) const
{
    QPainter p(&image); // in units: the picture's density scales them
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const Shape &s : shapes) {
        if (s.kind == Shape::Blend || !s.bounds.intersects(within))
            continue;
        const QPointF centre(s.x1 + kCentre, s.y1 + kCentre);
        if (s.kind == Shape::Line) {
            QPen pen(toQColor(s.fore), 1.0);
            pen.setCapStyle(Qt::SquareCap);
            p.setPen(pen);
            p.drawLine(centre, QPointF(s.x2 + kCentre, s.y2 + kCentre));
        } else if (s.style == 0 && s.fore == s.fill) {
            // Outline and fill of one colour make one disc reaching half the pen further.
            p.setPen(Qt::NoPen);
            p.setBrush(toQColor(s.fill));
            p.drawEllipse(centre, s.x2 + 0.5, s.x2 + 0.5);
        } else {
            p.setPen(QPen(toQColor(s.fore), 1.0));
            p.setBrush(s.style == 0 ? QBrush(toQColor(s.fill)) : QBrush(Qt::NoBrush));
            p.drawEllipse(centre, s.x2, s.x2);
        }
    }
}
