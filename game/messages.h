// SPDX-License-Identifier: MIT
// Texts the game says to the player in more than one place.
#pragma once

#include <QString>

// Shown when the player tries to move while no game runs.
inline QString NotRunningMessage()
{
    return QStringLiteral("Game is not running.\r\nHit 'New Game'!");
}

// A text of the board as one line, as it is read out.
inline QString OneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}
