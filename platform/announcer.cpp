// SPDX-License-Identifier: MIT
// The board's news for screen readers.
#include "announcer.h"

#include <QAccessible>
#include <QTimer>

Announcer::Announcer(QWidget *parent) : QWidget(parent)
{
    // A pixel in the corner that draws nothing and takes no input: the board
    // shows through it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1, 1);
}

void Announcer::Announce(const QString &sentence)
{
    if (sentence.isEmpty() || !QAccessible::isActive())
        return; // nobody listens
    if (m_pending.isEmpty())
        QTimer::singleShot(0, this, &Announcer::sayPending);
    m_pending << sentence;
}

void Announcer::sayPending()
{
    m_said = m_pending.join(QLatin1Char(' '));
    m_pending.clear();
    // Shown anew, it is news: that is what screen readers speak. One event and no
    // other (not the name's change): a screen reader flooded by events drops them.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
