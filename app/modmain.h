// SPDX-License-Identifier: MIT
// The start-up module: the entry procedure, the application title and the one
// owning reference to the Game.
#pragma once

#include <QString>

class Game;

// Starts the program: activates a running instance, or creates the Game.
void Main();
// "Ostrel 'Pegmarch' " followed by major.minor.revision.
QString AppTitle();
// Replaces the one owning reference to the Game (nullptr lets it go).
void SetGame(Game *game);
// The Game while it lives, or nullptr; owned by the start-up module.
Game *gobjGame();
