// SPDX-License-Identifier: MIT
// The end of a game: ranking, the closing text, and stopping the game.
#include "game.h"

#include "messages.h"
#include "ranking.h"

#include <QAction>

void Game::EndGame(bool DidIt)
{
    if (!pblnRunning)
        return;
    pobjMnuAbort->setEnabled(false);

    const QString n = QString::number(plngMoveCount);
    if (DidIt) {
        const QString mark = plngMoveCount == kLeastMoves ? QStringLiteral("!") : QStringLiteral(":");
        pstrGameOverText = QStringLiteral("You did it in ") + n + mark + QStringLiteral("\r\n")
            + RankingPhrase(plngMoveCount);
    } else {
        pstrGameOverText = QStringLiteral("You didn't\r\ndo it in ") + n + QStringLiteral("...");
        plngStage = 1;
    }

    // Waiting messages are dropped; the text from before them never comes back.
    resetMessageQueue();
    SetDisplayCentered(pstrGameOverText);
    Announce(OneLine(pstrGameOverText));

    plngDragRing = 0;
    psngDragX = 0;
    psngDragY = 0;
    m_keyRing = 0;
    SetState(1);
    SetSubState(DidIt ? 1 : 2);
    pblnRunning = false;
}
