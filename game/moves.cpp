// SPDX-License-Identifier: MIT
// Ring moves: the checks in their order, counting, and the stages of a game.
#include "game.h"

#include "app/modmain.h"
#include "messages.h"
#include "platform/messagebox.h"

// The pegs a ring may be moved to: the triangle of the current transfer.
bool Game::pegInTriangle(std::int32_t Stage, std::int32_t Peg)
{
    switch (Stage) {
    case 1:
    case 2:
    case 3:
        return Peg >= 1 && Peg <= 3;
    case 4:
    case 5:
        return Peg >= 3 && Peg <= 5;
    case 6:
    case 7:
        return Peg == 5 || Peg == 6 || Peg == 1;
    default:
        return false;
    }
}

void Game::MoveRing(std::int32_t Ring, std::int32_t Peg)
{
    if (!pblnRunning) {
        SetShortMessage(NotRunningMessage());
        return;
    }
    if (Ring < 1 || Ring > kRings || Peg < 1 || Peg > kPegs) {
        MessageBox::Warning(AppTitle(), QStringLiteral("Ring %1 or peg %2 does'nt exist").arg(Ring).arg(Peg));
        return;
    }
    if (!pegInTriangle(Peg)) {
        SetShortMessage(OutsideMessage(Peg));
        return;
    }

    UpdateTopRings();
    const std::int32_t T = plngTopRing[Peg];
    if (T == Ring)
        return; // put back on its own peg: no move, nothing to say
    const bool moved = T == 0 || T < Ring;
    if (moved) {
        ptypRings[Ring].Peg = Peg;
        ++plngMoveCount;
    } else {
        SetShortMessage(BiggerOnSmallerMessage(Ring, T, Peg));
    }

    // The stage advances only when the whole tower stands on the target peg.
    UpdateTopRings();
    bool arrived = plngStage >= 1 && plngStage <= kPegs && plngTopRing[plngStage] == kRings;
    for (int r = 1; r <= kRings && arrived; ++r)
        arrived = ptypRings[r].Peg == plngStage;
    if (!arrived) {
        if (moved)
            Announce(QStringLiteral("Move %1.").arg(plngMoveCount));
        return;
    }
    // The move that completes a transfer says only where the tower goes next:
    // with its number as well, the next key would cut that short.
    ++plngStage;
    if (plngStage == 7)
        EndGame(true); // which says the closing text
    else
        Announce(nextTarget());
}
