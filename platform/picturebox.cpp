// SPDX-License-Identifier: MIT
// Picture box over QImage + QPainter: the shapes of a frame are kept, and a frame
// draws only the pixels where they differ from the shapes of the frame before.
#include "picturebox.h"

#include "coverage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Pixel centres sit at +0.5: a line or circle at whole coordinates is centred on pixels.
constexpr float kCentre = 0.5f;

// The shapes of one kind: the board's (lines and circles), or the texts mixed over it.
std::vector<const PictureBox::Shape *> ofKind(const std::vector<PictureBox::Shape> &shapes, bool texts)
{
    std::vector<const PictureBox::Shape *> found;
    for (const PictureBox::Shape &s : shapes)
        if ((s.kind == PictureBox::Shape::Blend) == texts)
            found.push_back(&s);
    return found;
}

// Where two lists of shapes differ, compared in their order: both the old shape's
// pixels and the new one's.
QRegion differences(const std::vector<const PictureBox::Shape *> &now,
                    const std::vector<const PictureBox::Shape *> &before, const QRect &picture)
{
    QRegion region;
    for (std::size_t i = 0; i < std::max(now.size(), before.size()); ++i) {
        const PictureBox::Shape *a = i < now.size() ? now[i] : nullptr;
        const PictureBox::Shape *b = i < before.size() ? before[i] : nullptr;
        if (!a || !b || !(*a == *b))
            region += (a ? a->bounds : QRect()) | (b ? b->bounds : QRect());
    }
    return region & picture;
}

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
    if (BackColor != m_clearColour)
        invalidate();
    m_clearColour = BackColor;
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
    if (m_image.size() != pixels || m_image.devicePixelRatio() != m_ratio) {
        // Opaque 32-bit: drawn into fast and copied to the screen without blending.
        m_image = QImage(pixels, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(m_ratio);
        invalidate();
    }
    const QRect all = m_image.rect();
    const auto board = ofKind(m_shapes, false), texts = ofKind(m_shapes, true);
    const auto drawnTexts = ofKind(m_drawn, true);
    m_changed = m_whole ? QRegion(all) : differences(board, ofKind(m_drawn, false), all);
    const std::uint32_t ground = toQColor(m_clearColour).rgb();
    if (m_whole || (texts.empty() && drawnTexts.empty())) {
        // Drawn in place, the texts over the board.
        drawBoard(m_image, m_changed, board);
        for (const Shape *t : texts)
            for (const QRect &area : m_changed)
                t->coverage->mix(m_image, m_image, area, toQColor(t->fore).rgb(), ground);
    } else {
        // The board is kept apart: a text that changes is mixed in again over it,
        // and a text that goes is wiped with it.
        if (m_board.size() != pixels) {
            m_board = QImage(pixels, QImage::Format_RGB32);
            m_boardDrawn.clear();
        }
        const QRegion boardChanged =
            m_boardDrawn.empty() ? QRegion(all) : differences(board, ofKind(m_boardDrawn, false), all);
        drawBoard(m_board, boardChanged, board);
        m_boardDrawn = m_shapes;
        if (texts.empty() || boardChanged.intersects(texts[0]->bounds))
            m_underOf.reset(); // the board under the text is not what was kept
        const QRegion wiped = m_changed;
        for (const QRect &r : wiped)
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::memcpy(m_image.scanLine(y) + r.left() * 4, m_board.constScanLine(y) + r.left() * 4, r.width() * 4);
        bool restored = false;
        for (std::size_t i = 0; i < drawnTexts.size(); ++i)
            if (i >= texts.size() || texts[i]->coverage != drawnTexts[i]->coverage) {
                drawnTexts[i]->coverage->restore(m_image, m_board, all);
                m_changed += drawnTexts[i]->bounds & all;
                restored = true;
            }
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const Shape &t = *texts[i];
            const bool same = !restored && i < drawnTexts.size() && t == *drawnTexts[i];
            // What lies under the first text's edges is kept while the board there stays:
            // a new colour then reads none of the board.
            const bool kept = i == 0 && !same, keep = kept && m_underOf != t.coverage;
            if (keep)
                m_underText.assign(t.coverage->storeSize(), 0);
            m_underOf = kept ? t.coverage : m_underOf;
            for (const QRect &area : same ? wiped : QRegion(t.bounds))
                t.coverage->mix(m_image, m_board, area, toQColor(t.fore).rgb(), ground,
                                kept ? m_underText.data() : nullptr, keep);
            if (!same)
                m_changed += t.bounds & all;
        }
    }
    m_drawn = m_shapes;
    m_whole = false;
    return m_image;
}

void PictureBox::drawBoard(QImage &image, const QRegion &region, const std::vector<const Shape *> &board) const
{
    if (region.isEmpty())
        return; // the picture stays as it is, untouched
    // The painter sees the whole picture, clipped to one rectangle at a time: with
    // a clip of many, Qt would mix pixels on threads of its own.
    QImage device(image.bits(), image.width(), image.height(), image.bytesPerLine(), image.format());
    QPainter p(&device);
    p.setRenderHint(QPainter::Antialiasing, true);
    const bool whole = region == QRegion(image.rect());
    for (const QRect &area : region) {
        p.setClipRect(area); // in device pixels, before the scale
        p.fillRect(area, toQColor(m_clearColour));
        p.save();
        p.scale(m_ratio, m_ratio);
        for (const Shape *shape : board)
            if (shape->bounds.intersects(area))
                drawShape(p, *shape, whole);
        p.restore();
    }
}

void PictureBox::drawShape(QPainter &p, const Shape &s, bool whole) const
{
    if (s.kind == Shape::Line) {
        const QLineF line(s.x1 + kCentre, s.y1 + kCentre, s.x2 + kCentre, s.y2 + kCentre);
        if (whole || m_ratio == 1 || line.length() == 0) {
            QPen pen(toQColor(s.fore), 1.0);
            pen.setCapStyle(Qt::SquareCap);
            p.setPen(pen);
            p.drawLine(line);
            return;
        }
        // Scaled, a line drawn in part is smoothed otherwise where the clip cuts
        // it: the outline of the line, filled, is cut alike anywhere.
        const QPointF along = (line.p2() - line.p1()) / line.length() / 2, across(-along.y(), along.x());
        const QPointF outline[] = {line.p1() - along + across, line.p2() + along + across, line.p2() + along - across,
                                   line.p1() - along - across};
        p.setPen(Qt::NoPen);
        p.setBrush(toQColor(s.fore));
        p.drawPolygon(outline, 4);
        return;
    }
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
}
