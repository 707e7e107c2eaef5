// SPDX-License-Identifier: MIT
// The Game's handlers of the window: layout on resize, the timer, the menu commands;
// the board told in words to assistive tools, and a new game announced.
#include "game.h"

#include "platform/picturebox.h"
#include "platform/pictureview.h"
#include "support/rounding.h"
#include "ui/frmmain.h"

#include <QAction>
#include <QTimer>

#include <algorithm>

void Game::pobjForm_Resize()
{
    switch (pobjForm->WindowState()) {
    case 0:
    case 2: {
        // The board keeps a 10-pixel margin left, right and below; never lower than 84.
        const std::int32_t W = std::max<std::int32_t>(0, RoundEven(pobjForm->ScaleWidth() - 20));
        const std::int32_t H = std::max<std::int32_t>(84, RoundEven(pobjForm->ScaleHeight() - 10));
        pobjPicView->Move(10, 0, W, H);
        if (!pobjTimer->isActive()) // restarting would hold back the redraw while resizing
            pobjTimer->start();
        break;
    }
    case 1:
        pobjTimer->stop();
        break;
    default:
        break;
    }
}

void Game::pobjPicView_Resize()
{
    const QRect g = pobjPicView->geometry();
    pobjPicBuffer->Move(g.left(), g.top(), g.width(), g.height());
}

void Game::announceBoard()
{
    pobjPicView->SetDescription(Description()); // announced only when the words changed
}

void Game::Announce(const QString &sentence)
{
    if (pobjPicView)
        pobjPicView->Announce(sentence);
}

void Game::pobjTimer_Timer()
{
    Refresh();
}

void Game::pobjMnuNewGame_Click()
{
    NewGame();
    Announce(QStringLiteral("New game."));
}

void Game::pobjMnuAbort_Click()
{
    EndGame(false);
}

void Game::pobjMnuExit_Click()
{
    Quit();
}
