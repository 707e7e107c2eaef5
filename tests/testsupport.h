// SPDX-License-Identifier: MIT
// Shared by the in-process tests: the Game's private model, and the seams for the
// clock, the random numbers and the modal boxes.
#pragma once

#include "game/game.h"
#include "platform/clock.h"
#include "platform/messagebox.h"
#include "platform/pictureview.h"
#include "platform/random.h"
#include "platform/textlayer.h"
#include "support/rounding.h"
#include "support/supportlibrary.h"
#include "ui/frmmain.h"

#include <QAction>
#include <QPainter>
#include <QtTest>


// Reads and sets what the Game keeps private.
class GameInspector
{
public:
    explicit GameInspector(Game &g) : game(g) {}
    Game &game;

    std::int32_t &stage() { return game.plngStage; }
    std::int32_t &moveCount() { return game.plngMoveCount; }
    RingInfo &ring(int r) { return game.ptypRings.at(r); }
    void setPegs(const QList<int> &pegs) { for (int r = 1; r <= 5; ++r) ring(r).Peg = pegs[r - 1]; } // of rings 1 to 5
    std::int32_t dragRing() { return game.plngDragRing; }
    std::int32_t keyRing() { return game.m_keyRing; }
    bool running() { return game.pblnRunning; }
    QStringList messageQueue() { return game.pstrMessageQueue.toTexts(); }
    void setDrag(std::int32_t ring, float x, float y) { game.plngDragRing = ring, game.psngDragX = x, game.psngDragY = y; }
    frmMain *form() { return game.pobjForm; }
    PictureView *view() { return game.pobjPicView; }
    PictureBox *&buffer() { return game.pobjPicBuffer; }
    QTimer *timer() { return game.pobjTimer; }
    const TextFont *overlayFont() { return game.plngOverlayFont.get(); }
    Colour overlayColour() { return game.plngOverlayColour; }
    std::int32_t stepRed() { return game.plngStepRed; }
    // Pins the text's colour and the steps of its three channels.
    void setColour(Colour c, std::int32_t red, std::int32_t green, std::int32_t blue)
    {
        game.plngOverlayColour = c, game.plngStepRed = red, game.plngStepGreen = green, game.plngStepBlue = blue;
    }
    // A frame with the text's colour pinned to steps that stay inside 0..255.
    QImage frameIn(Colour colour)
    {
        auto step = [colour](int shift) { return ((colour >> shift) & 0xFF) > 127 ? -3 : 5; };
        setColour(colour, step(0), step(8), step(16));
        game.Refresh();
        return view()->picture().copy();
    }
    // The board under text, and the text painted over it by the painter itself
    // in the colour of the frame that showed it: what that frame must look like.
    std::pair<QImage, QImage> textAndPainted(const QString &text, Colour colour)
    {
        game.SetDisplayCentered(QString());
        game.Refresh();
        QImage painted = view()->picture().copy();
        game.SetDisplayCentered(text);
        const QImage shown = frameIn(colour);
        const TextFont &font = *overlayFont();
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        const QSize block = font.measure(lines);
        const int W = qRound(buffer()->ScaleWidth()), H = qRound(buffer()->ScaleHeight());
        QPainter p(&painted);
        p.setRenderHint(QPainter::Antialiasing, true);
        font.drawCentered(p, QRect(QPoint(RoundEven((W - block.width()) / 2.0), RoundEven((H - block.height()) / 2.0)), block),
                          lines, overlayColour());
        return {shown, painted};
    }
    void mouseDown(float x, float y) { game.pobjPicView_MouseDown(1, 0, x, y); }
    void mouseUp(float x, float y) { game.pobjPicView_MouseUp(1, 0, x, y); }
};

// A clock the test moves by hand; installed for the life of the object.
struct FakeClock
{
    std::uint32_t now = 1000;
    FakeClock() { Clock::setTickSource([this] { return now; }); }
    ~FakeClock() { Clock::setTickSource({}); }
    void advance(std::uint32_t ms) { now += ms; }
};

// A fresh Game for each test (start() in init(), stop() in cleanup()), the clock
// held still and frames drawn only when the test asks. Boxes and the info dialog
// are recorded as "title: text", never shown: one the test did not expect fails it,
// and so does a warning.
struct GameFixture
{
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<Game> game;
    std::unique_ptr<GameInspector> in;
    QStringList boxes;
    bool boxesExpected = false;

    void start()
    {
        // A warning fails the test; the test platform's notices of what it cannot do are expected.
        static const QtMessageHandler testlib = qInstallMessageHandler([](QtMsgType t, const QMessageLogContext &c, const QString &m) {
            m.startsWith(QLatin1String("This plugin does not support ")) ? void() : testlib(t, c, m); });
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        boxes.clear();
        boxesExpected = false;
        MessageBox::setHook([this](const QString &t, const QString &x) { boxes << t + ": " + x; });
        SupportLibrary::instance().setInfoDialogHook([this](const QString &t, const QIcon &i, const QString &n,
                                                            const QStringList &l) {
            boxes << t + ": " + n + "\n" + l.join('\n') + (i.isNull() ? " (no icon)" : "");
        });
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
        MessageBox::setHook({});
        Random::setSource({});
        SupportLibrary::instance().setInfoDialogHook({});
        QVERIFY2(boxesExpected || boxes.isEmpty(), qPrintable("unexpected box: " + boxes.join(" | ")));
    }
    QImage frame()
    {
        game->Refresh();
        return in->view()->picture();
    }
};

// The least moves carrying the n smallest rings from peg a to peg b over peg c, as
// (ring, peg) pairs; ring 1 is the biggest.
inline void towerMoves(int n, int a, int b, int c, std::vector<std::pair<int, int>> &out)
{
    if (n > 0) {
        towerMoves(n - 1, a, c, b, out);
        out.emplace_back(6 - n, b);
        towerMoves(n - 1, c, b, a, out);
    }
}
