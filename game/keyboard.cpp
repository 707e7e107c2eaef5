// SPDX-License-Identifier: MIT
// Playing by keys: 1 to 6 name pegs, the first press picks up the top ring of
// the peg, the second puts it down; arrows carry a held ring between open pegs.
#include "game.h"

#include "messages.h"

void Game::pobjPicView_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier))
        return; // those belong to the menus
    if (plngDragRing != 0) {
        if (key == Qt::Key_Escape)
            pobjPicView_MouseLost(); // back on its peg: the release that follows does nothing
        return; // the mouse has a ring
    }
    // 1 to 6 on the main row or the keypad, which Qt tells apart only by a modifier.
    if (key >= Qt::Key_1 && key < Qt::Key_1 + kPegs) {
        m_numbersShown = true; // the board says which peg is which
        keyPegNamed(key - Qt::Key_0);
        return;
    }
    if (m_keyRing == 0)
        return;
    switch (key) {
    case Qt::Key_Escape:
        keyPutBack();
        break;
    case Qt::Key_Left:
        keyCarry(-1);
        break;
    case Qt::Key_Right:
        keyCarry(+1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        keyPegNamed(m_keyPeg);
        break;
    default:
        break;
    }
}

void Game::keyPegNamed(std::int32_t Peg)
{
    if (m_keyRing != 0) {
        // Put down, whatever follows; on its own peg it is simply put back.
        const std::int32_t r = m_keyRing;
        if (Peg == ptypRings[r].Peg) {
            keyPutBack();
            return;
        }
        m_keyRing = 0;
        MoveRing(r, Peg); // which tells how it went
        return;
    }
    // As a mouse press on that peg: nothing on an empty one.
    if (!pblnRunning) {
        SetShortMessage(NotRunningMessage());
        return;
    }
    UpdateTopRings();
    m_keyRing = plngTopRing[Peg];
    m_keyPeg = Peg;
    Announce(m_keyRing ? QStringLiteral("%1 up.").arg(m_keyRing) : QStringLiteral("%1 empty.").arg(Peg));
}

void Game::keyPutBack()
{
    Announce(QStringLiteral("Back on %1.").arg(ptypRings[m_keyRing].Peg));
    m_keyRing = 0;
}

void Game::keyCarry(int step)
{
    // Pegs in their order round the board, closed ones skipped.
    std::int32_t peg = m_keyPeg;
    for (int i = 0; i < kPegs; ++i) {
        peg = (peg - 1 + step + kPegs) % kPegs + 1;
        if (pegInTriangle(peg)) {
            m_keyPeg = peg;
            Announce(QStringLiteral("Over %1.").arg(peg));
            return;
        }
    }
}
