// SPDX-License-Identifier: MIT
// The visible picture widget.
#include "pictureview.h"

#include "announcer.h"
#include "boardaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

PictureView::PictureView(QWidget *parent) : QWidget(parent)
{
    // We paint every pixel ourselves: no background fill before each paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The board takes the keys: it is played by them, and losing the focus tells
    // that a press was cut short.
    setFocusPolicy(Qt::StrongFocus);
    BoardAccessible::install();
    m_news = new Announcer(this);
}

void PictureView::Move(double left, double top, double width, double height)
{
    const QRect r = QRectF(left, top, std::max(0.0, width), std::max(0.0, height)).toRect();
    if (r == geometry())
        return;
    setGeometry(r);
    emit Resize();
}

void PictureView::PaintPicture(const QImage &picture, const QRect &changed)
{
    m_picture = &picture;
    // In this widget's units, rounded outwards.
    const double ratio = picture.devicePixelRatio();
    update(QRectF(QPointF(changed.topLeft()) / ratio, QSizeF(changed.size()) / ratio).toAlignedRect());
}

void PictureView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QImage &shown = picture();
    // White only where the picture does not reach.
    const QRect covered(QPoint(0, 0), shown.deviceIndependentSize().toSize());
    for (const QRect &r : event->region().subtracted(covered))
        p.fillRect(r, Qt::white);
    // Laid whole, pixel on pixel; the paint's clip copies only what is new. Cut out
    // in units, a picture at a fractional scale would land between device pixels.
    p.drawImage(QPointF(0, 0), shown);
}

namespace {
// Button codes in the events: 1 left, 2 right, 4 middle, as Qt numbers them too.
std::int16_t buttonCode(Qt::MouseButtons buttons)
{
    return static_cast<std::int16_t>(buttons & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton));
}

// Shift codes: 1 Shift, 2 Ctrl, 4 Alt, which are Qt's own modifier bits from bit 25 on.
std::int16_t shiftCode(Qt::KeyboardModifiers m)
{
    return static_cast<std::int16_t>((m.toInt() >> 25) & 7);
}
} // namespace

void PictureView::SetDescription(const QString &description)
{
    if (description == m_description)
        return;
    m_description = description;
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void PictureView::Announce(const QString &sentence)
{
    m_news->Announce(sentence);
}

void PictureView::mousePressEvent(QMouseEvent *e)
{
    emit MouseDown(buttonCode(e->button()), shiftCode(e->modifiers()), float(e->position().x()), float(e->position().y()));
}

void PictureView::mouseMoveEvent(QMouseEvent *e)
{
    emit MouseMove(buttonCode(e->buttons()), shiftCode(e->modifiers()), float(e->position().x()), float(e->position().y()));
}

void PictureView::mouseReleaseEvent(QMouseEvent *e)
{
    emit MouseUp(buttonCode(e->button()), shiftCode(e->modifiers()), float(e->position().x()), float(e->position().y()));
}

void PictureView::keyPressEvent(QKeyEvent *e)
{
    // A held key does not repeat: one press, one pick-up or put-down.
    if (!e->isAutoRepeat())
        emit KeyDown(e->key(), e->modifiers());
    QWidget::keyPressEvent(e); // passed on to the window as well
}

void PictureView::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    // A menu or a dialog of the game's own takes the mouse with the keys: the release will
    // not come here. Another window that only takes the keys leaves the press to end here.
    if (e->reason() == Qt::PopupFocusReason || QApplication::activePopupWidget() || QApplication::activeModalWidget())
        emit MouseLost();
}
