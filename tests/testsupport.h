// SPDX-License-Identifier: MIT
// Helpers shared by the in-process tests: access to the Game's private model and
// the seams for the clock, the generator and the modal boxes.
#pragma once

#include "game/game.h"
#include "platform/clock.h"
#include "platform/messagebox.h"
#include "platform/random.h"
#include "support/supportlibrary.h"

#include <QImage>
#include <QTimer>

#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

// Reads and sets what the Game keeps private.
class GameInspector
{
public:
    explicit GameInspector(Game &g) : game(g) {}
    Game &game;

    std::int32_t &stage() { return game.plngStage; }
    std::int32_t &moveCount() { return game.plngMoveCount; }
    bool &running() { return game.pblnRunning; }
    RingInfo &ring(int r) { return game.ptypRings.at(r); }
    std::int32_t &dragRing() { return game.plngDragRing; }
    float &dragX() { return game.psngDragX; }
    float &dragY() { return game.psngDragY; }
    std::int32_t topRing(int p)
    {
        game.UpdateTopRings();
        return game.plngTopRing.at(p);
    }
    frmMain *form() { return game.pobjForm; }
    PictureView *view() { return game.pobjPicView; }
    PictureBox *buffer() { return game.pobjPicBuffer; }
    QTimer *timer() { return game.pobjTimer; }
    QAction *abortAction() { return game.pobjMnuAbort; }
    QAction *newAction() { return game.pobjMnuNewGame; }
    QAction *exitAction() { return game.pobjMnuExit; }
    QAction *infoAction() { return game.pobjMnuHelpInfo; }
    QString savedCentered() { return game.pstrSavedCentered; }
    bool messageUp() { return game.pblnMessageUp; }
    const TextFont *overlayFont() { return game.plngOverlayFont.get(); }
    std::int32_t lineCount() { return game.plngLineCount; }
    std::int32_t longestLine() { return game.plngLongestLine; }
    Colour overlayColour() { return game.plngOverlayColour; }
    void setOverlayColour(Colour c) { game.plngOverlayColour = c; }
    std::int32_t &stepRed() { return game.plngStepRed; }
    std::int32_t &stepGreen() { return game.plngStepGreen; }
    std::int32_t &stepBlue() { return game.plngStepBlue; }
    void forgetShownFrame() { game.ptypShownFrame.reset(); }
    void mouseDown(std::int16_t b, float x, float y) { game.pobjPicView_MouseDown(b, 0, x, y); }
    void mouseMove(std::int16_t b, float x, float y) { game.pobjPicView_MouseMove(b, 0, x, y); }
    void mouseUp(std::int16_t b, float x, float y) { game.pobjPicView_MouseUp(b, 0, x, y); }
};

// A clock the test moves by hand; installed for the life of the object.
struct FakeClock
{
    std::uint32_t now = 1000;
    FakeClock() { Clock::setTickSource([this] { return now; }); }
    ~FakeClock() { Clock::setTickSource({}); }
    void advance(std::uint32_t ms) { now += ms; }
};

// A fresh Game for each test, with the clock held still and frames drawn only
// when the test asks: call start() in init() and stop() in cleanup().
struct GameFixture
{
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<Game> game;
    std::unique_ptr<GameInspector> in;

    void start()
    {
        clock = std::make_unique<FakeClock>();
        game = std::make_unique<Game>();
        in = std::make_unique<GameInspector>(*game);
        in->timer()->stop();
    }
    void stop()
    {
        in.reset();
        game.reset();
        clock.reset();
    }
};

// Records warning boxes instead of showing them.
struct BoxRecorder
{
    QStringList titles, texts;
    BoxRecorder()
    {
        MessageBox::setHook([this](const QString &t, const QString &x) {
            titles << t;
            texts << x;
        });
    }
    ~BoxRecorder() { MessageBox::setHook({}); }
};

// The optimal moves of one transfer of n rings (ring numbers 1 biggest .. 5 smallest)
// from peg a to peg b over peg c, appended as (ring, peg) pairs.
inline void towerMoves(int n, int a, int b, int c, std::vector<std::pair<int, int>> &out, int smallestOfStack = 5)
{
    if (n == 0)
        return;
    const int ring = smallestOfStack - n + 1; // the biggest ring of this sub-tower
    towerMoves(n - 1, a, c, b, out, smallestOfStack);
    out.emplace_back(ring, b);
    towerMoves(n - 1, c, b, a, out, smallestOfStack);
}

// The whole optimal game: 1->2 (over 3), 2->3 (over 1), 3->4 (over 5), 4->5 (over 3), 5->6 (over 1).
inline std::vector<std::pair<int, int>> optimalGame()
{
    std::vector<std::pair<int, int>> moves;
    towerMoves(5, 1, 2, 3, moves);
    towerMoves(5, 2, 3, 1, moves);
    towerMoves(5, 3, 4, 5, moves);
    towerMoves(5, 4, 5, 3, moves);
    towerMoves(5, 5, 6, 1, moves);
    return moves;
}

// How many pixels differ between two images of one size, and by how much at most
// in any channel.
struct PixelDifference
{
    int count = 0, worst = 0;
};
inline PixelDifference pixelDifference(const QImage &a, const QImage &b)
{
    PixelDifference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (p == q)
                continue;
            ++d.count;
            d.worst = std::max({d.worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return d;
}
