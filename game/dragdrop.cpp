// SPDX-License-Identifier: MIT
// Ring drag and drop: pick up a top ring, carry it, drop it near a peg.
#include "game.h"

#include "messages.h"
#include "platform/pictureview.h"
#include "support/rounding.h"

#include <cmath>

namespace {
constexpr std::int16_t kLeftButton = 1;
// How far beyond its own radius a dropped ring still reaches a peg.
constexpr std::int32_t kDropSlack = 5;
} // namespace

double Game::distanceToPeg(int p, float X, float Y) const
{
    const double W = RoundEven(pobjPicView->ScaleWidth());
    const double H = RoundEven(pobjPicView->ScaleHeight());
    const double cx = static_cast<double>(ptypPegs[p].X) * W;
    const double cy = static_cast<double>(ptypPegs[p].Y) * H;
    return std::hypot(static_cast<double>(X) - cx, static_cast<double>(Y) - cy);
}

void Game::pobjPicView_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    m_keyRing = 0; // a ring picked up by key goes back: the mouse takes over
    m_numbersShown = false;
    if (Button != kLeftButton)
        return;
    if (!pblnRunning) {
        SetShortMessage(NotRunningMessage());
        return;
    }
    plngDragRing = ringAt(X, Y);
    if (plngDragRing != 0) {
        psngDragX = X;
        psngDragY = Y;
    }
}

std::int32_t Game::ringAt(float X, float Y)
{
    UpdateTopRings();
    for (int p = 1; p <= kPegs; ++p) {
        const std::int32_t r = plngTopRing[p];
        if (r != 0 && distanceToPeg(p, X, Y) <= ptypRings[r].Size)
            return r;
    }
    return 0;
}

void Game::showHand(float X, float Y)
{
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (plngDragRing != 0)
        shape = Qt::ClosedHandCursor;
    else if (pblnRunning && ringAt(X, Y) != 0)
        shape = Qt::OpenHandCursor;
    if (pobjPicView->cursor().shape() != shape)
        pobjPicView->setCursor(shape);
}

void Game::pobjPicView_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    if (plngDragRing == 0)
        return;
    psngDragX = X;
    psngDragY = Y;
    Refresh();
}

void Game::pobjPicView_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    if (Button != kLeftButton || plngDragRing == 0)
        return;
    UpdateTopRings();
    const std::int32_t r = plngDragRing;
    plngDragRing = 0;
    for (int p = 1; p <= kPegs; ++p) {
        if (distanceToPeg(p, X, Y) < ptypRings[r].Size + kDropSlack) {
            MoveRing(r, p);
            return;
        }
    }
}

void Game::pobjPicView_MouseLost()
{
    // The release will not come: the ring goes back to its peg, no move.
    plngDragRing = 0;
    showHand(psngDragX, psngDragY);
}
