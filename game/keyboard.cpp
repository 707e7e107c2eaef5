// SPDX-License-Identifier: MIT
// Playing by keys: 1 to 6 name pegs, the first press picks up the top ring of
// the peg, the second puts it down; arrows carry a held ring between open pegs.
#include "game.h"

#include "messages.h"
#include "platform/keycodes.h"

namespace {
// The peg a key names (1 to 6, main row or keypad), or 0.
std::int32_t pegOfKey(std::int16_t KeyCode)
{
    for (const std::int16_t base : {KeyCodes::Digit0, KeyCodes::Numpad0})
        if (KeyCode > base && KeyCode <= base + Game::kPegs)
            return KeyCode - base;
    return 0;
}
} // namespace

void Game::pobjPicView_KeyDown(std::int16_t KeyCode, std::int16_t Shift)
{
    if (Shift & (ShiftBits::Ctrl | ShiftBits::Alt))
        return; // those belong to the menus
    if (plngDragRing != 0)
        return; // the mouse has a ring
    if (const std::int32_t peg = pegOfKey(KeyCode)) {
        keyPegNamed(peg);
        return;
    }
    if (plngKeyRing == 0)
        return;
    switch (KeyCode) {
    case KeyCodes::Escape:
        keyPutBack();
        break;
    case KeyCodes::Left:
        keyCarry(-1);
        break;
    case KeyCodes::Right:
        keyCarry(+1);
        break;
    case KeyCodes::Return:
    case KeyCodes::Space:
        keyPegNamed(plngKeyPeg);
        break;
    default:
        break;
    }
}

void Game::keyPegNamed(std::int32_t Peg)
{
    if (plngKeyRing != 0) {
        // Put down, whatever follows; on its own peg it is simply put back.
        const std::int32_t r = plngKeyRing;
        if (Peg == ptypRings[r].Peg) {
            keyPutBack();
            return;
        }
        plngKeyRing = 0;
        MoveRing(r, Peg); // which tells how it went
        return;
    }
    // As a mouse press on that peg: nothing on an empty one.
    if (!pblnRunning) {
        SetShortMessage(NotRunningMessage());
        return;
    }
    UpdateTopRings();
    plngKeyRing = plngTopRing[Peg];
    plngKeyPeg = Peg;
    Announce(plngKeyRing ? QStringLiteral("Ring %1 lifted from peg %2.").arg(plngKeyRing).arg(Peg)
                         : QStringLiteral("Peg %1 is empty.").arg(Peg));
}

void Game::keyPutBack()
{
    Announce(QStringLiteral("Ring %1 back on peg %2.").arg(plngKeyRing).arg(ptypRings[plngKeyRing].Peg));
    plngKeyRing = 0;
}

void Game::keyCarry(int step)
{
    // Pegs in their order round the board, closed ones skipped.
    std::int32_t peg = plngKeyPeg;
    for (int i = 0; i < kPegs; ++i) {
        peg = (peg - 1 + step + kPegs) % kPegs + 1;
        if (pegInTriangle(peg)) {
            plngKeyPeg = peg;
            Announce(QStringLiteral("Ring %1 over peg %2.").arg(plngKeyRing).arg(peg));
            return;
        }
    }
}
