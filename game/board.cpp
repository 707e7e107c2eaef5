// SPDX-License-Identifier: MIT
// The board model: pegs, rings, the start of a game, the top rings, State and SubState.
#include "game.h"

#include <QAction>

namespace {
// Ring colours, 0x00BBGGRR: red, orange, yellow, green, pink.
constexpr Colour kRingColours[Game::kRings + 1] = {0, 0x0000FF, 0x007FFF, 0x00FFFF, 0x00FF00, 0xBFBFFF};
} // namespace

void Game::fillBoard()
{
    // Corners 2, 4, 6 of the big triangle; 3, 5, 1 are the midpoints of its edges.
    ptypPegs[1] = {2.0f / 6, 3.0f / 6};
    ptypPegs[2] = {1.0f / 6, 5.0f / 6};
    ptypPegs[3] = {3.0f / 6, 5.0f / 6};
    ptypPegs[4] = {5.0f / 6, 5.0f / 6};
    ptypPegs[5] = {4.0f / 6, 3.0f / 6};
    ptypPegs[6] = {3.0f / 6, 1.0f / 6};
    for (int r = 1; r <= kRings; ++r)
        ptypRings[r] = {kRingColours[r], 1, 50 - 8 * (r - 1)};
    plngStage = 1;
}

void Game::NewGame()
{
    SetDisplayCentered(QString());
    // Messages about the game that ended, and the text saved under them, go with it.
    resetMessageQueue();
    pstrSavedCentered.clear();
    pstrGameOverText.clear();
    plngMoveCount = 0;
    plngStage = 2;
    for (int r = 1; r <= kRings; ++r)
        ptypRings[r].Peg = 1;
    plngDragRing = 0;
    psngDragX = 0;
    psngDragY = 0;
    m_keyRing = 0;
    pblnRunning = true;
    pobjMnuAbort->setEnabled(true);
}

void Game::UpdateTopRings()
{
    plngTopRing.fill(0);
    // Smaller rings come later and overwrite: each peg ends with its highest index.
    for (int r = 1; r <= kRings; ++r)
        plngTopRing.at(ptypRings[r].Peg) = r;
}

bool Game::GameOver() const
{
    return plngState == 1;
}

QString Game::GameOverText() const
{
    return pstrGameOverText;
}

std::int32_t Game::State() const
{
    return plngState;
}

std::int32_t Game::SubState() const
{
    return plngSubState;
}

void Game::SetState(std::int32_t NewValue)
{
    if (NewValue == 0 || NewValue == 1)
        SetDisplayInfo(true);
    plngState = NewValue;
}

void Game::SetSubState(std::int32_t NewValue)
{
    if (NewValue == 1 || NewValue == 2)
        SetDisplayInfo(true);
    plngSubState = NewValue;
}
