// SPDX-License-Identifier: MIT
// Display options: the option word and its bit 0, DisplayInfo.
#include "game.h"

std::int32_t Game::Options() const
{
    return plngOptions;
}

bool Game::DisplayInfo() const
{
    return (plngOptions & 1) != 0;
}

void Game::SetDisplayInfo(bool NewValue)
{
    if (NewValue)
        plngOptions |= 1;
    else
        plngOptions &= ~1;
}
