// SPDX-License-Identifier: MIT
// Picture box over QImage + QPainter.
#include "picturebox.h"

#include <QPainter>

#include <cmath>

QColor toQColor(Colour c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

PictureBox::PictureBox() = default;

void PictureBox::Move(double left, double top, double width, double height)
{
    m_rect = QRectF(left, top, std::max(0.0, width), std::max(0.0, height));
}

void PictureBox::setDevicePixelRatio(double ratio)
{
    m_ratio = ratio > 0 ? ratio : 1.0;
}

void PictureBox::ensureImage()
{
    const QSize pixels(static_cast<int>(std::ceil(m_rect.width() * m_ratio)),
                       static_cast<int>(std::ceil(m_rect.height() * m_ratio)));
    if (m_image.size() != pixels || m_image.devicePixelRatio() != m_ratio) {
        // Premultiplied 32-bit is the format QPainter draws fastest into.
        m_image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_image.setDevicePixelRatio(m_ratio);
    }
}

void PictureBox::Cls()
{
    endPaint();
    ensureImage();
    m_image.fill(toQColor(BackColor));
}

QPainter *PictureBox::beginPaint()
{
    if (!m_painter) {
        ensureImage();
        if (m_image.isNull())
            return nullptr;
        m_painter = new QPainter(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, true);
    }
    return m_painter;
}

void PictureBox::endPaint()
{
    delete m_painter;
    m_painter = nullptr;
}

void PictureBox::Line(float x1, float y1, float x2, float y2)
{
    QPainter *p = beginPaint();
    if (!p)
        return;
    QPen pen(toQColor(ForeColor));
    pen.setWidthF(1.0);
    pen.setCapStyle(Qt::SquareCap);
    p->setPen(pen);
    // Pixel centres sit at +0.5: a line through whole coordinates covers those pixels.
    p->drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
}

void PictureBox::Circle(float x, float y, float radius)
{
    QPainter *p = beginPaint();
    if (!p)
        return;
    p->setPen(QPen(toQColor(ForeColor), 1.0));
    if (FillStyle == 0)
        p->setBrush(toQColor(FillColor));
    else
        p->setBrush(Qt::NoBrush);
    p->drawEllipse(QPointF(x + 0.5, y + 0.5), radius, radius);
}
