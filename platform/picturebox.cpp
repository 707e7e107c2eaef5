// SPDX-License-Identifier: MIT
// Picture box over QImage + QPainter. The layer is drawn whole whenever its shapes
// change. Each moving part is a coverage, mixed in over the pixels it keeps: where
// parts change, they are taken off, last first, and mixed in again, each whole.
#include "picturebox.h"

#include "coverage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

void PictureBox::add(Shape shape, const QRectF &units)
{
    // Where it may draw, in device pixels, with a pixel to spare for the edge's smoothing.
    const QRectF device(units.topLeft() * m_ratio, units.size() * m_ratio);
    if (!std::isfinite(device.left() + device.top() + device.right() + device.bottom()))
        return; // nowhere on the picture
    constexpr double far = 1 << 24; // beyond any picture, and still a whole number of pixels
    shape.bounds = device.adjusted(-2, -2, 2, 2).intersected(QRectF(-far, -far, 2 * far, 2 * far)).toAlignedRect();
    m_shapes.push_back(std::move(shape));
}

void PictureBox::Line(float x1, float y1, float x2, float y2)
{
    add({Shape::Line, x1, y1, x2, y2, ForeColor, ForeColor, 0, {}, {}},
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
    m_shapes.push_back({Shape::Blend, 0, 0, 0, 0, colour, colour, 0, coverage, coverage->bounds()});
}

const QImage &PictureBox::Image()
{
    const QSize pixels = QSizeF(std::ceil(m_rect.width() * m_ratio), std::ceil(m_rect.height() * m_ratio)).toSize();
    const auto parts = m_shapes.begin() + static_cast<std::ptrdiff_t>(m_layerEnd);
    m_changed = QRect();
    const auto draw = [](QPainter &p, const Shape &s) { // a line or circle, whole
        // Outline and fill of one colour make one disc reaching half the pen further.
        const bool disc = s.kind == Shape::Circle && s.style == 0 && s.fore == s.fill;
        p.setPen(disc ? QPen(Qt::NoPen) : QPen(toQColor(s.fore), 1.0, Qt::SolidLine, Qt::SquareCap));
        p.setBrush(s.style == 0 ? QBrush(toQColor(s.fill)) : QBrush());
        const QPointF centre(s.x1 + kCentre, s.y1 + kCentre);
        if (s.kind == Shape::Line)
            p.drawLine(centre, QPointF(s.x2 + kCentre, s.y2 + kCentre));
        else
            p.drawEllipse(centre, s.x2 + (disc ? 0.5 : 0), s.x2 + (disc ? 0.5 : 0));
    };
    auto kept = std::size_t(std::mismatch(parts, m_shapes.end(), m_shown.begin(), m_shown.begin() + m_onPicture,
                                          [](const Shape &a, const Shown &b) { return a == b.shape; }).first - parts);
    const bool layerSame = m_image.size() == pixels && m_image.devicePixelRatio() == m_ratio &&
        std::equal(m_shapes.begin(), parts, m_layerShapes.begin(), m_layerShapes.end());
    // The text alone in a new colour: mixed again over the pixels it keeps.
    if (layerSame && kept + 1 == m_onPicture && parts + kept + 1 == m_shapes.end() && parts[kept].coverage == m_shown[kept].cover) {
        parts[kept].coverage->remix(m_image, toQColor(parts[kept].fore).rgb(), m_shown[kept].under.data());
        m_shown[kept].shape = parts[kept];
        return m_changed = parts[kept].bounds & m_image.rect(), m_image;
    }
    // A part that kept only what lies under its edges comes off by drawing the layer again.
    if (!layerSame || std::any_of(m_shown.begin() + kept, m_shown.begin() + m_onPicture,
                                  [](const Shown &s) { return !s.whole; })) {
        if (m_image.size() != pixels)
            m_image = QImage(pixels, QImage::Format_RGB32); // opaque: copied to the screen without blending
        m_image.setDevicePixelRatio(m_ratio);
        m_image.fill(Qt::white);
        m_layerShapes.assign(m_shapes.begin(), parts);
        QPainter p(&m_image); // in units: the picture's density scales them
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setClipRect(QRectF(QPointF(0, 0), m_image.deviceIndependentSize())); // the whole: lines then cost half
        for (const Shape &shape : m_layerShapes)
            draw(p, shape);
        m_changed = m_image.rect(), m_onPicture = kept = 0;
    }
    // Parts that change are taken off, last first, and put on again, first first.
    for (; m_onPicture > kept; --m_onPicture) {
        const Shown &shown = m_shown[m_onPicture - 1];
        shown.cover->restore(m_image, shown.under.data());
        m_changed |= shown.cover->bounds() & m_image.rect();
    }
    for (auto part = parts + static_cast<std::ptrdiff_t>(kept); part != m_shapes.end(); ++part) {
        m_shown.resize(std::max(m_shown.size(), m_onPicture + 1));
        Shown &shown = m_shown[m_onPicture++];
        shown.shape = *part;
        // A text mixed in again as it was (the layer beneath it changed) keeps only its
        // edges; a new one keeps all, which costs little beside rasterising it.
        shown.whole = part->kind != Shape::Blend || part->coverage != shown.cover;
        // A ring is rasterised where it lies, as a text is once for all its frames.
        shown.cover = part->coverage ? part->coverage : Coverage::rasterise(part->bounds, m_ratio, [&](QPainter &p) {
            draw(p, {part->kind, part->x1, part->y1, part->x2, part->y2, 0xFFFFFF, 0xFFFFFF, part->style, {}, {}});
        });
        shown.cover->mix(m_image, toQColor(part->style == 0 ? part->fill : part->fore).rgb(), shown.under, shown.whole);
        m_changed |= shown.cover->bounds() & m_image.rect();
    }
    return m_image;
}
