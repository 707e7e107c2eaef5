// SPDX-License-Identifier: MIT
// What happens on the board, said to screen readers as it happens: an invisible
// notification that tells them it is shown anew with each new sentence, which
// they speak without being asked (they speak no change of the board's description).
#pragma once

#include <QStringList>
#include <QWidget>

class Announcer : public QWidget
{
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);

    // Says sentence soon; the sentences of one event are said together, so
    // none cuts the one before it short.
    void Announce(const QString &sentence);
    // The last thing said: the notification's name.
    const QString &said() const { return m_said; }

private:
    void sayPending();

    QStringList m_pending;
    QString m_said;
};
