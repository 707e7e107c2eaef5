// SPDX-License-Identifier: MIT
// The visible picture widget.
#include "pictureview.h"

#include "announcer.h"
#include "boardaccessible.h"
#include "keycodes.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

PictureView::PictureView(QWidget *parent) : QWidget(parent)
{
    // We paint every pixel ourselves: no background fill before each paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(false);
    // The board takes the keys: it is played by them, and losing the focus tells
    // that a press was cut short.
    setFocusPolicy(Qt::StrongFocus);
    BoardAccessible::install();
    m_news = new Announcer(this);
}

void PictureView::Move(double left, double top, double width, double height)
{
    const QRect r(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)),
                  std::max(0, static_cast<int>(std::lround(width))),
                  std::max(0, static_cast<int>(std::lround(height))));
    if (r == geometry())
        return;
    setGeometry(r);
    emit Resize();
}

void PictureView::PaintPicture(const QImage &picture, const QRect &changed)
{
    const bool sameSize = picture.size() == m_shownSize && picture.devicePixelRatio() == m_shownRatio;
    m_picture = picture;
    m_shownSize = picture.size();
    m_shownRatio = picture.devicePixelRatio();
    if (changed.isNull() || !sameSize) {
        update();
        return;
    }
    // In this widget's units, rounded outwards.
    const double ratio = picture.devicePixelRatio();
    update(QRectF(QPointF(changed.topLeft()) / ratio, QSizeF(changed.size()) / ratio).toAlignedRect());
}

void PictureView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    // One copy of the picture; white only where it does not reach.
    const QRect covered(QPoint(0, 0), m_picture.deviceIndependentSize().toSize());
    for (const QRect &r : event->region().subtracted(covered))
        p.fillRect(r, Qt::white);
    if (!m_picture.isNull())
        p.drawImage(event->rect().topLeft(), m_picture, QRectF(event->rect().topLeft() * m_picture.devicePixelRatio(),
                                                               event->rect().size() * m_picture.devicePixelRatio()));
}

std::int16_t PictureView::buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

std::int16_t PictureView::shiftCode(Qt::KeyboardModifiers m)
{
    return static_cast<std::int16_t>(((m & Qt::ShiftModifier) ? ShiftBits::Shift : 0)
                                     | ((m & Qt::ControlModifier) ? ShiftBits::Ctrl : 0)
                                     | ((m & Qt::AltModifier) ? ShiftBits::Alt : 0));
}

std::int16_t PictureView::keyCode(int key, Qt::KeyboardModifiers modifiers)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const int base = (modifiers & Qt::KeypadModifier) ? KeyCodes::Numpad0 : KeyCodes::Digit0;
        return static_cast<std::int16_t>(base + key - Qt::Key_0);
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return KeyCodes::Return;
    case Qt::Key_Escape: return KeyCodes::Escape;
    case Qt::Key_Space: return KeyCodes::Space;
    case Qt::Key_Left: return KeyCodes::Left;
    case Qt::Key_Right: return KeyCodes::Right;
    default: return 0;
    }
}

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
    const QPointF p = e->position();
    emit MouseDown(buttonCode(e->button()), shiftCode(e->modifiers()), float(p.x()), float(p.y()));
}

void PictureView::mouseMoveEvent(QMouseEvent *e)
{
    const QPointF p = e->position();
    std::int16_t buttons = 0;
    for (auto b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (e->buttons() & b)
            buttons |= buttonCode(b);
    emit MouseMove(buttons, shiftCode(e->modifiers()), float(p.x()), float(p.y()));
}

void PictureView::mouseReleaseEvent(QMouseEvent *e)
{
    const QPointF p = e->position();
    emit MouseUp(buttonCode(e->button()), shiftCode(e->modifiers()), float(p.x()), float(p.y()));
}

void PictureView::keyPressEvent(QKeyEvent *e)
{
    const std::int16_t code = keyCode(e->key(), e->modifiers());
    if (code == 0) {
        QWidget::keyPressEvent(e); // not ours: passed on
        return;
    }
    // A held key does not repeat: one press, one pick-up or put-down.
    if (!e->isAutoRepeat())
        emit KeyDown(code, shiftCode(e->modifiers()));
}

void PictureView::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    // A menu or a dialog of the game's own takes the mouse with the keys: the
    // release will not come here. Another window that only takes the keys leaves
    // the press to end here.
    if (e->reason() == Qt::PopupFocusReason || QApplication::activePopupWidget() || QApplication::activeModalWidget())
        emit MouseLost();
}
