// SPDX-License-Identifier: MIT
// Texts the game shows the player over the board, and what is said of them to a
// screen reader: the reason alone, in as few words as can be heard before the
// player's next key.
#pragma once

#include <QString>

// Shown when the player tries to move while no game runs.
QString NotRunningMessage();
// Shown when a ring is put on a peg outside the current triangle.
QString OutsideMessage(std::int32_t peg);
// Shown when a ring is put on a smaller one, the top ring of peg.
QString BiggerOnSmallerMessage(std::int32_t ring, std::int32_t top, std::int32_t peg);
// What a screen reader says of a text shown over the board.
QString SpokenMessage(const QString &shown);
// A text of the board as one line, as it is read out.
QString OneLine(QString text);
