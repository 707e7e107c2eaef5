// SPDX-License-Identifier: MIT
// Picture box over QImage + QPainter: the shapes of a frame are kept, and a frame
// draws only the pixels where they differ from the shapes of the frame before.
#include "picturebox.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
// Pixel centres sit at +0.5: a line or circle at whole coordinates is centred on pixels.
constexpr float kCentre = 0.5f;

// x * a / 255 per channel, rounded, as the raster engine mixes a solid edge.
inline std::uint32_t byteMul(std::uint32_t x, std::uint32_t a)
{
    std::uint32_t t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}

// Mixes colour into target's pixels in area through coverage placed at origin.
void mix(QImage &target, const QRect &area, const QImage &coverage, QPoint origin, Colour colour)
{
    const QRect rect = area & QRect(origin, coverage.size());
    const std::uint32_t src = toQColor(colour).rgb();
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        auto *line = reinterpret_cast<std::uint32_t *>(target.scanLine(y));
        const uchar *alpha = coverage.constScanLine(y - origin.y()) - origin.x();
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (const std::uint32_t a = alpha[x])
                line[x] = a == 255 ? src : (byteMul(src, a) + byteMul(line[x], 255 - a)) | 0xff000000u;
        }
    }
}
} // namespace

QColor toQColor(Colour c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

bool PictureBox::Shape::operator==(const Shape &o) const
{
    return kind == o.kind && x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2 && fore == o.fore
        && fill == o.fill && style == o.style && coverage.cacheKey() == o.coverage.cacheKey() && origin == o.origin;
}

void PictureBox::Move(double left, double top, double width, double height)
{
    m_rect = QRectF(left, top, std::max(0.0, width), std::max(0.0, height));
}

void PictureBox::Cls()
{
    m_shapes.clear();
    if (BackColor != m_clearColour)
        invalidate();
    m_clearColour = BackColor;
}

void PictureBox::add(Shape shape, const QRectF &units)
{
    // Where it may draw, with a pixel to spare for the edge's smoothing.
    const QRectF device(units.topLeft() * m_ratio, units.size() * m_ratio);
    if (!std::isfinite(device.left()) || !std::isfinite(device.top()) || !std::isfinite(device.right())
        || !std::isfinite(device.bottom()))
        return; // nowhere on the picture
    constexpr double far = 1 << 24; // beyond any picture, and still a whole number of pixels
    shape.bounds = device.adjusted(-2, -2, 2, 2).intersected(QRectF(-far, -far, 2 * far, 2 * far)).toAlignedRect();
    m_shapes.push_back(std::move(shape));
}

void PictureBox::Line(float x1, float y1, float x2, float y2)
{
    add({Shape::Line, x1, y1, x2, y2, ForeColor, 0, 0, {}, {}, {}},
        QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized().adjusted(0, 0, 1, 1));
}

void PictureBox::Circle(float x, float y, float radius)
{
    const float r = std::abs(radius) + 1;
    add({Shape::Circle, x, y, radius, 0, ForeColor, FillColor, FillStyle, {}, {}, {}},
        QRectF(x + kCentre - r, y + kCentre - r, 2 * r, 2 * r));
}

void PictureBox::Blend(const QImage &coverage, QPoint origin, Colour colour)
{
    if (coverage.format() != QImage::Format_Alpha8 || coverage.isNull())
        return;
    Shape shape{Shape::Blend, 0, 0, 0, 0, colour, 0, 0, coverage, origin, QRect(origin, coverage.size())};
    m_shapes.push_back(std::move(shape));
}

const QImage &PictureBox::Image()
{
    const QSize pixels(static_cast<int>(std::ceil(m_rect.width() * m_ratio)),
                       static_cast<int>(std::ceil(m_rect.height() * m_ratio)));
    if (m_image.size() != pixels || m_image.devicePixelRatio() != m_ratio) {
        // Opaque 32-bit: drawn into fast and copied to the screen without blending.
        m_image = QImage(pixels, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(m_ratio);
        invalidate();
    }
    m_changed = QRegion();
    if (m_whole) {
        m_changed = m_image.rect();
    } else {
        // Shapes are compared in their order: where the two lists differ, both
        // the old shape's pixels and the new one's are drawn again.
        for (std::size_t i = 0; i < std::max(m_shapes.size(), m_drawn.size()); ++i) {
            const Shape *now = i < m_shapes.size() ? &m_shapes[i] : nullptr;
            const Shape *before = i < m_drawn.size() ? &m_drawn[i] : nullptr;
            if (now && before && *now == *before)
                continue;
            m_changed += (now ? now->bounds : QRect()) | (before ? before->bounds : QRect());
        }
        // The corner pixels too, drawn again alike: with them the clip spans the
        // picture, and the rasteriser cuts no line short, which would smooth its
        // edge otherwise where the clip cuts it.
        if (!m_changed.isEmpty())
            m_changed += QRegion(0, 0, 1, 1) + QRegion(m_image.width() - 1, m_image.height() - 1, 1, 1);
        m_changed &= m_image.rect();
    }
    if (!m_changed.isEmpty())
        draw(m_changed);
    m_drawn = m_shapes;
    m_whole = false;
    return m_image;
}

void PictureBox::draw(const QRegion &region)
{
    // The painter sees the whole picture, clipped: a line is drawn alike whether
    // the whole of it is drawn or a part (on a smaller picture, it is not).
    QImage device(m_image.bits(), m_image.width(), m_image.height(), m_image.bytesPerLine(), m_image.format());
    QPainter p(&device);
    p.setClipRegion(region);
    p.fillRect(region.boundingRect(), toQColor(m_clearColour));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(m_ratio, m_ratio);
    for (const Shape &s : m_shapes) {
        if (!region.intersects(s.bounds))
            continue;
        switch (s.kind) {
        case Shape::Line: {
            QPen pen(toQColor(s.fore), 1.0);
            pen.setCapStyle(Qt::SquareCap);
            p.setPen(pen);
            p.drawLine(QPointF(s.x1 + kCentre, s.y1 + kCentre), QPointF(s.x2 + kCentre, s.y2 + kCentre));
            break;
        }
        case Shape::Circle: {
            const QPointF centre(s.x1 + kCentre, s.y1 + kCentre);
            if (s.style == 0 && s.fore == s.fill) {
                // Outline and fill of one colour make one disc reaching half the pen further.
                p.setPen(Qt::NoPen);
                p.setBrush(toQColor(s.fill));
                p.drawEllipse(centre, s.x2 + 0.5, s.x2 + 0.5);
            } else {
                p.setPen(QPen(toQColor(s.fore), 1.0));
                p.setBrush(s.style == 0 ? QBrush(toQColor(s.fill)) : QBrush(Qt::NoBrush));
                p.drawEllipse(centre, s.x2, s.x2);
            }
            break;
        }
        case Shape::Blend:
            for (const QRect &area : region)
                mix(device, area, s.coverage, s.origin, s.fore);
            break;
        }
    }
}
